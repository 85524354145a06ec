#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

// Fonts, colours and placing the secondary windows share.
QFont timesFont(int pixels, bool bold, bool italic = false);
void setTextColor(QWidget* widget, const QColor& color);
// The name, title, paper-coloured background and Times font of a secondary tool window, which
// stays open without keeping the program alive once the main window closes.
void setUpToolWindow(QWidget& window, const QString& objectName, const QString& title,
                     bool boldFont);
// Shows a tool window in front, or brings it there when it is open. The first time it opens to
// the right of its owner, where it hides none of the figures; on a screen without room there it
// keeps inside the screen's right edge. From then on it opens where the operator left it.
void openBesideOwner(QWidget& window);
