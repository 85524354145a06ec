#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// Fonts and colours the secondary windows share.
QFont timesFont(int pixels, bool bold, bool italic = false);
void setTextColor(QWidget* widget, const QColor& color);
