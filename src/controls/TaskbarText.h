#pragma once

#include <QString>

class QWidget;

namespace kelvos {

// Sets the text the taskbar shows for a window: its icon name, written to X at once as
// _NET_WM_ICON_NAME (UTF-8) and WM_ICON_NAME (Latin-1), shown or not. Qt 6.4 passes the icon
// text to X only when a window is shown, and never as WM_ICON_NAME. Off X11 only Qt's icon text
// is set.
void setTaskbarText(QWidget* window, const QString& text);

} // namespace kelvos
