// startwatch <program> [arguments...]: starts the program and prints its process id and the
// milliseconds from the start until its first top-level window is mapped on the X display. The
// program keeps running; the caller ends it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 20000;

struct FreeEvent {
    void operator()(xcb_generic_event_t* event) const { std::free(event); }
};
using Event = std::unique_ptr<xcb_generic_event_t, FreeEvent>;

// Waits for the first map of a window that is not a menu or tooltip (override-redirect).
bool waitForTopLevelMap(xcb_connection_t* connection, Clock::time_point started) {
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (Event event{xcb_poll_for_event(connection)}) {
            if ((event->response_type & ~0x80) != XCB_MAP_NOTIFY)
                continue;
            if (!reinterpret_cast<xcb_map_notify_event_t*>(event.get())->override_redirect)
                return true;
        }
        const auto waited =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
        if (waited > kTimeoutMs || xcb_connection_has_error(connection))
            return false;
        poll(&descriptor, 1, int(kTimeoutMs - waited));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program> [arguments...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "startwatch: cannot reach the X display\n");
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const Clock::time_point started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // The caller reads this tool's output to its end: the program must not hold it open.
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        close(devNull);
        execvp(argv[1], argv + 1);
        std::perror("startwatch: exec");
        _exit(127);
    }
    if (!waitForTopLevelMap(connection, started)) {
        std::fprintf(stderr, "startwatch: no window of %s was mapped\n", argv[1]);
        return 1;
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    std::printf("%d %.1f\n", int(child), ms);
    xcb_disconnect(connection);
    return 0;
}
