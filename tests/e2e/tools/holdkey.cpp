// Plays another program that holds a key system-wide: grabs the key with any modifiers on the
// root window, says "held" on stdout, and keeps the grab until it is killed.
// Usage: holdkey <keycode>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <xcb/xcb.h>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: holdkey <keycode>\n");
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "holdkey: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto keycode = static_cast<xcb_keycode_t>(std::atoi(argv[1]));
    const xcb_void_cookie_t cookie = xcb_grab_key_checked(
        connection, 1, root, XCB_MOD_MASK_ANY, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
        std::fprintf(stderr, "holdkey: the grab was refused (error %d)\n", error->error_code);
        std::free(error);
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    for (;;)
        pause();
}
