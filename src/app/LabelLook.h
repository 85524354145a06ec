#pragma once

class QLabel;

// Sets the text colour of a label from a stored colour value (red in the low byte).
void setLabelColor(QLabel* label, int colorValue);

// The colours of a difference: at or above zero, and below it.
inline constexpr int PositiveColor = 8646654;
inline constexpr int NegativeColor = 15851951;
