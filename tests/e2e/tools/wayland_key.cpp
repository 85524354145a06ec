// Presses and releases keys as a Wayland client, through KWin's fake input protocol
// (org_kde_kwin_fake_input, version 4 for keyboard keys): the compositor takes them as typed
// on its keyboard, so its global shortcuts see them as they see the operator's keys.
//
// Usage: wayland_key <evdev key code>... (for example 103 for Up, 79 for keypad 1)
// KWin offers the protocol only to the programs a desktop entry names for it, or to every
// program when it runs with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1.
#include "fake-input-client-protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <wayland-client.h>

namespace {
org_kde_kwin_fake_input* fakeInput = nullptr;

void announced(void*, wl_registry* registry, uint32_t name, const char* interface,
               uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}

void withdrawn(void*, wl_registry*, uint32_t) {}

const wl_registry_listener registryListener = {announced, withdrawn};
} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <evdev key code>...\n", argv[0]);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wayland_key: no Wayland display (WAYLAND_DISPLAY)\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!fakeInput) {
        std::fprintf(stderr, "wayland_key: the compositor offers this program no "
                             "org_kde_kwin_fake_input of version 4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "wayland_key", "keys of a desktop test");
    for (int i = 1; i < argc; ++i) {
        const auto key = static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10));
        org_kde_kwin_fake_input_keyboard_key(fakeInput, key, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(fakeInput, key, WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    // The requests have reached the compositor once it has answered a round trip after them.
    const int sent = wl_display_roundtrip(display);
    org_kde_kwin_fake_input_destroy(fakeInput);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return sent < 0 ? 1 : 0;
}
