#pragma once

#include <QFlags>
#include <QString>
#include <optional>

namespace kelvos {

// A font as the settings store keeps it, apart from any drawing toolkit.
struct FontSettings {
    enum class Style : quint8 { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    Q_DECLARE_FLAGS(Styles, Style)

    QString name;
    int size = 0;     // points
    qint32 color = 0; // colour value, red in the low byte; system colours have 0xFF in the top byte
    Styles style;

    bool operator==(const FontSettings&) const = default;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(FontSettings::Styles)

// The colour-name form of a colour value: a colour constant name ("clRed", "clBtnFace") or a
// "$" and eight hexadecimal digits ("$00804020").
QString colorToText(qint32 color);
// Reads a constant name (any letter case), a "$" hexadecimal or a decimal number.
std::optional<qint32> colorFromText(QStringView text);

} // namespace kelvos
