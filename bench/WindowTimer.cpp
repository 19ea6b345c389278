// SPDX-License-Identifier: GPL-3.0-or-later
// Times a program from its start until the X server maps its top-level window with a given title,
// by listening for the map itself instead of polling for it. Polling with xdotool and a pause put
// 10 to 20 ms of spread into every sample, about a third of what a minimal dialog takes to appear,
// and its own processes competed for the two cores with the program being timed.
//
//   WindowTimer [--prepare CMD] [--then CMD] TITLE -- PROGRAM [ARGS...]
//
// Prints the milliseconds to the map. Without --then, the program is ended once its window is
// mapped. With --then, CMD runs (after --prepare, untimed) with $WINDOW set to the window's id, and
// the second figure printed is the milliseconds from CMD's start until the program has ended.
// Exits non-zero when no such window appeared within 20 seconds.

#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

double Now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

std::string WindowName(xcb_connection_t* connection, xcb_window_t window)
{
    const xcb_get_property_cookie_t cookie = xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME,
                                                              XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::string name;
    if (reply) {
        name.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    static_cast<size_t>(xcb_get_property_value_length(reply)));
        free(reply);
    }
    return name;
}

int RunShell(const char* command, xcb_window_t window)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("WINDOW", std::to_string(window).c_str(), 1);
        execl("/bin/sh", "sh", "-c", command, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

int Usage()
{
    fprintf(stderr, "usage: WindowTimer [--prepare CMD] [--then CMD] TITLE -- PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    const char* prepare = nullptr;
    const char* then = nullptr;
    int arg = 1;
    for (; arg + 1 < argc && argv[arg][0] == '-' && strcmp(argv[arg], "--") != 0; arg += 2) {
        if (strcmp(argv[arg], "--prepare") == 0)
            prepare = argv[arg + 1];
        else if (strcmp(argv[arg], "--then") == 0)
            then = argv[arg + 1];
        else
            return Usage();
    }
    if (arg + 2 >= argc || strcmp(argv[arg + 1], "--") != 0)
        return Usage();
    const std::string title = argv[arg];
    char** program = argv + arg + 2;

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        fprintf(stderr, "WindowTimer: cannot reach the X server\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // Without a window manager a top-level window is a child of the root, so its map shows here.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask));

    const double start = Now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(program[0], program);
        _exit(127);
    }

    xcb_window_t shown = 0;
    double mapped = 0;
    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (!shown && Now() - start < 20000) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                break;
            poll(&watch, 1, 100);
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const double at = Now();
            const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
            if (WindowName(connection, window) == title) {
                shown = window;
                mapped = at - start;
            }
        }
        free(event);
    }
    if (!shown) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        fprintf(stderr, "WindowTimer: no window titled \"%s\" appeared\n", title.c_str());
        return 1;
    }
    if (!then) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        printf("%.1f\n", mapped);
        return 0;
    }
    if (prepare)
        RunShell(prepare, shown);
    const double before = Now();
    RunShell(then, shown);
    waitpid(pid, nullptr, 0);
    printf("%.1f %.1f\n", mapped, Now() - before);
    xcb_disconnect(connection);
    return 0;
}
