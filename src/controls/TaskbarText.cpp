#include "TaskbarText.h"

#include "X11Atom.h"

#include <QGuiApplication>
#include <QWidget>

namespace kelvos {

namespace {
void setText(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
             xcb_atom_t type, const QByteArray& bytes) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                        uint32_t(bytes.size()), bytes.constData());
}
} // namespace

void setTaskbarText(QWidget* window, const QString& text) {
    window->setWindowIconText(text);
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    // The running watch sets the text several times a second: the atoms are asked for once.
    static const xcb_atom_t utf8 = x11AtomNamed(connection, "UTF8_STRING");
    static const xcb_atom_t netIconName = x11AtomNamed(connection, "_NET_WM_ICON_NAME");
    if (utf8 != XCB_ATOM_NONE && netIconName != XCB_ATOM_NONE)
        setText(connection, id, netIconName, utf8, text.toUtf8());
    setText(connection, id, XCB_ATOM_WM_ICON_NAME, XCB_ATOM_STRING, text.toLatin1());
    xcb_flush(connection);
}

} // namespace kelvos
