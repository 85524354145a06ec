#include "WindowActivation.h"

#include "X11Atom.h"

#include <QGuiApplication>
#include <QWidget>

namespace kelvos {

namespace {

constexpr uint32_t kSourcePager = 2;

xcb_window_t rootOf(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return screen ? screen->root : xcb_window_t(XCB_WINDOW_NONE);
}

bool windowManagerRuns(xcb_connection_t* connection, xcb_window_t root) {
    const xcb_atom_t check = x11AtomNamed(connection, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE)
        return false;
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, root, check, XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    const bool runs = reply && xcb_get_property_value_length(reply) == sizeof(xcb_window_t);
    free(reply);
    return runs;
}

void askWindowManager(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = x11AtomNamed(connection, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = kSourcePager;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

void activateOnUserRequest(QWidget& window) {
    window.activateWindow();
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = rootOf(connection);
    const auto id = xcb_window_t(window.winId());
    if (windowManagerRuns(connection, root))
        askWindowManager(connection, root, id);
    else
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
    xcb_flush(connection);
}

} // namespace kelvos
