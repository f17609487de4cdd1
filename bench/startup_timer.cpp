// Times a program's start-up on an X server: from fork to its first top-level window
// mapped, and to that window painted. "Painted" is seen from outside, without help
// from the program: the server's root is black (start Xvfb with -br) and a Qt window
// has no background of its own, so its pixels stay black until Qt first draws it.
//
//   DISPLAY=:N startup_timer PROGRAM [ARGUMENTS...]
// prints "mapped_ms X" and "painted_ms Y", then ends the program.
#include "Keys.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// True when most pixels of the window's middle row are no longer black.
bool painted(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry
        = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (geometry == nullptr)
        return false;
    const uint16_t width = geometry->width;
    const int16_t row = int16_t(geometry->height / 2);
    std::free(geometry);
    xcb_get_image_reply_t *image = xcb_get_image_reply(connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, row, width, 1, ~0u), nullptr);
    if (image == nullptr)
        return false;
    const uint8_t *pixels = xcb_get_image_data(image);
    const int length = xcb_get_image_data_length(image);
    int lit = 0;
    for (int i = 0; i + 3 < length; i += 4)
        lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0 ? 1 : 0;
    std::free(image);
    return lit * 8 > length;   // more than half of the pixels, at 4 bytes each
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_timer PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "startup_timer: cannot connect to the X server\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror("startup_timer: exec");
        _exit(127);
    }

    int status = 1;
    xcb_window_t window = XCB_NONE;
    pollfd descriptor { xcb_get_file_descriptor(connection), POLLIN, 0 };
    while (window == XCB_NONE && millisecondsSince(start) < 300000) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (!map->override_redirect && window == XCB_NONE)
                    window = map->window;
            }
            std::free(event);
        }
        if (window == XCB_NONE)
            poll(&descriptor, 1, 100);
    }
    if (window != XCB_NONE) {
        std::printf("%s %.1f\n", keys::startup_timer::mapped_ms, millisecondsSince(start));
        while (!painted(connection, window) && millisecondsSince(start) < 300000)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::printf("%s %.1f\n", keys::startup_timer::painted_ms, millisecondsSince(start));
        status = 0;
    } else {
        std::fprintf(stderr, "startup_timer: no window appeared\n");
    }
    std::fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    return status;
}
