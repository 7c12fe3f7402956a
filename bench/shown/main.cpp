// bench_shown: how long a program takes to show its window and draw it, as the X server tells,
// not as a poller finds. Starts COMMAND, waits for its top-level window named TITLE to be on the
// screen (viewable, taken on by the window manager) and then for its first drawing into it (the
// DAMAGE extension), prints
//
//   SHOWN_MS DRAWN_MS CPU_SHOWN_MS CPU_DRAWN_MS
//
// (from the start to each moment; the CPU time the started process, all its threads, had used by
// then), then stops it with SIGTERM and waits for its end.
//
//   bench_shown TITLE COMMAND [ARG]...
//
// bench/run-startup runs it on Velmora and on the bare window in turns.

#include <poll.h>
#include <signal.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimeoutMs = 20000;

template <class Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* x, const char* name) {
    Owned<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr),
        std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The property's value; nothing when the window has no such property.
std::optional<std::string> Property(xcb_connection_t* x, xcb_window_t window, xcb_atom_t name) {
    Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            x, xcb_get_property(x, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr),
        std::free);
    if (!reply || reply->type == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       xcb_get_property_value_length(reply.get()));
}

bool Viewable(xcb_connection_t* x, xcb_window_t window) {
    Owned<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, window), nullptr),
        std::free);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

// The few requests of the DAMAGE extension used here, which libxcb-damage would otherwise bring.
xcb_extension_t damageExtension = {"DAMAGE", 0};

template <std::size_t Words>
void DamageRequest(xcb_connection_t* x, uint8_t minor, const uint32_t (&words)[Words], bool reply) {
    struct {
        uint8_t major, minor;
        uint16_t length;
        uint32_t words[Words];
    } request{0, minor, 0, {}};
    std::memcpy(request.words, words, sizeof words);
    iovec parts[4];
    parts[2] = {&request, sizeof request};
    parts[3] = {nullptr, 0};
    xcb_protocol_request_t protocol{2, &damageExtension, minor, !reply};
    const unsigned sequence = xcb_send_request(x, 0, parts + 2, &protocol);
    if (reply) {
        std::free(xcb_wait_for_reply(x, sequence, nullptr));
    }
}

// The first event number of DAMAGE, after the version handshake it asks for; 0 without it.
uint8_t StartDamage(xcb_connection_t* x) {
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(x, &damageExtension);
    if (!damage || !damage->present) {
        return 0;
    }
    DamageRequest(x, 0, {1, 1}, true);  // QueryVersion 1.1
    return damage->first_event;
}

struct Window {
    bool shown = false;
    std::optional<Clock::time_point> drawn;
};

struct Watch {
    xcb_connection_t* x;
    std::string title;
    xcb_atom_t netWmName;
    xcb_atom_t wmState;
    uint8_t damageNotify;
    std::map<xcb_window_t, Window> windows;
    xcb_atom_t netWmPid = XCB_ATOM_NONE;
    pid_t pid = 0;

    // Follows a new top-level window: its mapping, its name and its drawing from now on.
    void Follow(xcb_window_t window) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(x, window, XCB_CW_EVENT_MASK, &mask);
        constexpr uint32_t kNonEmpty = 3;  // one report, at the first drawing
        DamageRequest(x, 1, {xcb_generate_id(x), window, kNonEmpty}, false);  // Create
        windows[window];
    }

    void Handle(xcb_window_t root, xcb_generic_event_t* event) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (created->parent == root) {
                Follow(created->window);
            }
        } else if (type == damageNotify) {
            // The drawable follows the response type, level and sequence number.
            xcb_window_t drawable;
            std::memcpy(&drawable, reinterpret_cast<const char*>(event) + 4, sizeof drawable);
            auto found = windows.find(drawable);
            if (found != windows.end() && !found->second.drawn) {
                found->second.drawn = Clock::now();
            }
        }
        std::free(event);
    }

    bool Named(xcb_window_t window) const {
        return Property(x, window, netWmName) == title ||
               Property(x, window, XCB_ATOM_WM_NAME) == title;
    }

    // Whether the window is the started program's, as far as it says (_NET_WM_PID): under Wine
    // the tray icon's window is Explorer's, and may be taken on by the window manager, with the
    // program's name, when the tray does not take it.
    bool Started(xcb_window_t window) const {
        const std::optional<std::string> owner = Property(x, window, netWmPid);
        uint32_t value = 0;
        if (!owner || owner->size() != sizeof value) {
            return true;
        }
        std::memcpy(&value, owner->data(), sizeof value);
        return value == static_cast<uint32_t>(pid);
    }

    // The followed window named `title` once it is on the screen. Asked after every event, so
    // that a window mapped before it was followed is found too. Only a window the window manager
    // took on counts: a tray icon's window may carry the program's name as well.
    Window* Shown() {
        for (auto& [window, state] : windows) {
            if (!state.shown) {
                state.shown = Viewable(x, window) && Property(x, window, wmState) &&
                              Named(window) && Started(window);
            }
            if (state.shown) {
                return &state;
            }
        }
        return nullptr;
    }
};

double CpuMs(pid_t pid) {
    clockid_t clock;
    timespec used{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &used) != 0) {
        return -1;
    }
    return used.tv_sec * 1e3 + used.tv_nsec / 1e6;
}

pid_t Start(char** command) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execvp(command[0], command);
        _exit(127);
    }
    return pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        usleep(50000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

struct Moment {
    double ms = -1;
    double cpuMs = -1;
};

struct Result {
    Moment shown, drawn;
};

double MsSince(Clock::time_point start, Clock::time_point then) {
    return std::chrono::duration<double, std::milli>(then - start).count();
}

// Waits for the window to be shown and drawn; false after kTimeoutMs or when the X connection
// fails.
bool WaitDrawn(Watch& watch, xcb_window_t root, Clock::time_point start, pid_t pid,
               Result& result) {
    const int fd = xcb_get_file_descriptor(watch.x);
    while (true) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(watch.x)) {
            watch.Handle(root, event);
        }
        if (Window* window = watch.Shown()) {
            if (result.shown.ms < 0) {
                result.shown = {MsSince(start, Clock::now()), CpuMs(pid)};
            }
            if (window->drawn) {
                // Drawing comes after showing even when its report was read first.
                result.drawn = {std::max(result.shown.ms, MsSince(start, *window->drawn)),
                                CpuMs(pid)};
                return true;
            }
        }
        // The replies Shown() waited for may have brought events that the socket no longer has.
        if (xcb_generic_event_t* event = xcb_poll_for_queued_event(watch.x)) {
            watch.Handle(root, event);
            continue;
        }
        const auto left = kTimeoutMs - static_cast<int>(MsSince(start, Clock::now()));
        pollfd wait{fd, POLLIN, 0};
        if (xcb_connection_has_error(watch.x) || left <= 0 || poll(&wait, 1, left) <= 0) {
            return false;
        }
    }
}

xcb_window_t Root(xcb_connection_t* x, int screenNumber) {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    return screens.data->root;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_shown TITLE COMMAND [ARG]...\n");
        return 2;
    }
    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
    const uint8_t damageNotify = xcb_connection_has_error(x) ? 0 : StartDamage(x);
    if (damageNotify == 0) {
        std::fprintf(stderr, "bench_shown: no X display with the DAMAGE extension\n");
        return 1;
    }
    const xcb_window_t root = Root(x, screenNumber);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Subscribed before the start, so no window of the program is missed.
    if (xcb_generic_error_t* error = xcb_request_check(
            x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        return 1;
    }
    Watch watch{x, argv[1], Atom(x, "_NET_WM_NAME"), Atom(x, "WM_STATE"), damageNotify, {}};
    watch.netWmPid = Atom(x, "_NET_WM_PID");

    const Clock::time_point start = Clock::now();
    const pid_t pid = Start(argv + 2);
    watch.pid = pid;
    Result result;
    const bool drawn = pid > 0 && WaitDrawn(watch, root, start, pid, result);
    if (pid > 0) {
        Stop(pid);
    }
    xcb_disconnect(x);
    if (!drawn) {
        std::fprintf(stderr, "bench_shown: window \"%s\" not %s\n", argv[1],
                     result.shown.ms < 0 ? "shown" : "drawn");
        return 1;
    }
    std::printf("%.1f %.1f %.1f %.1f\n", result.shown.ms, result.drawn.ms, result.shown.cpuMs,
                result.drawn.cpuMs);
    return 0;
}
