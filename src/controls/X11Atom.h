#pragma once

#include <QByteArray>
#include <xcb/xcb.h>

namespace kelvos {

// The atom of a name, XCB_ATOM_NONE when the server has none for it. A round trip to the
// server: callers keep what they will need again.
inline xcb_atom_t x11AtomNamed(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

} // namespace kelvos
