#pragma once

class QWidget;

namespace kelvos {

// Brings a shown window to the front with the keyboard, as the user's own request (a second
// start of the program is one). Qt asks with the time of the last event it saw, which the X
// server and window managers refuse when another program took the keyboard later; this asks
// as a pager does (_NET_ACTIVE_WINDOW from source 2) or, with no window manager, sets the
// focus at the server's present time. Off X11 only Qt's activation is asked for.
void activateOnUserRequest(QWidget& window);

} // namespace kelvos
