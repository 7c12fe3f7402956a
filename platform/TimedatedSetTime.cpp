#include "platform/TimedatedSetTime.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace velmora {
namespace {

constexpr const char* kService = "org.freedesktop.timedate1";
constexpr const char* kObject = "/org/freedesktop/timedate1";
constexpr const char* kInterface = "org.freedesktop.timedate1";
// Long enough to read polkit's prompt, find the password and type it.
constexpr std::uint64_t kAnswerTimeoutUsec = 5ULL * 60 * 1000 * 1000;

struct BusClose {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;

struct BusError {
    sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C compound literal
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&error); }
};

Message SetTimeCall(sd_bus* bus, std::int64_t usecUtc, bool interactive) {
    sd_bus_message* raw = nullptr;
    if (sd_bus_message_new_method_call(bus, &raw, kService, kObject, kInterface, "SetTime") < 0) {
        return nullptr;
    }
    Message call(raw);
    const int relative = 0;
    const int ask = interactive ? 1 : 0;
    if (sd_bus_message_append(call.get(), "xbb", usecUtc, relative, ask) < 0 ||
        sd_bus_message_set_allow_interactive_authorization(call.get(), ask) < 0) {
        return nullptr;
    }
    return call;
}

// timedated's answer, once it has come.
struct Answer {
    bool arrived = false;
    BusError error;
};

int TakeAnswer(sd_bus_message* reply, void* userdata, sd_bus_error* /*unused*/) {
    auto* answer = static_cast<Answer*>(userdata);
    answer->arrived = true;
    if (const sd_bus_error* error = sd_bus_message_get_error(reply)) {
        sd_bus_error_copy(&answer->error.error, error);
    }
    return 0;
}

// Waits for the answer or the call's time-out. Unlike sd_bus_call, a signal delivered to the
// program meanwhile (the polkit prompt may stay open for minutes) does not end the wait: the
// call has been sent and must not be sent again.
int AwaitAnswer(sd_bus* bus, const Answer& answer) {
    while (!answer.arrived) {
        int r = sd_bus_process(bus, nullptr);
        if (r > 0) {
            continue;
        }
        if (r == 0) {
            r = sd_bus_wait(bus, UINT64_MAX);
        }
        if (r < 0 && r != -EINTR) {
            return r;
        }
    }
    return 0;
}

// The error in its own words; its name, or the failure's, when it brings none.
std::string Reason(const sd_bus_error& error, int failure) {
    if (error.message && *error.message) {
        return error.message;
    }
    if (error.name && *error.name) {
        return error.name;
    }
    return std::strerror(-failure);
}

bool NoTimedated(const sd_bus_error& error) {
    return sd_bus_error_has_names(&error, SD_BUS_ERROR_SERVICE_UNKNOWN,
                                  SD_BUS_ERROR_NAME_HAS_NO_OWNER);
}

}  // namespace

std::optional<ClockSetResult> TimedatedSetTime(std::int64_t usecUtc, bool interactive) {
    Answer answer;
    sd_bus* raw = nullptr;
    if (sd_bus_open_system(&raw) < 0) {
        return std::nullopt;
    }
    Bus bus(raw);
    Message call = SetTimeCall(bus.get(), usecUtc, interactive);
    if (!call) {
        return std::nullopt;
    }
    int r =
        sd_bus_call_async(bus.get(), nullptr, call.get(), TakeAnswer, &answer, kAnswerTimeoutUsec);
    if (r >= 0) {
        r = AwaitAnswer(bus.get(), answer);
    }
    if (r < 0) {
        return ClockSetResult{false, std::strerror(-r)};
    }
    if (!sd_bus_error_is_set(&answer.error.error)) {
        return ClockSetResult{true, ""};
    }
    if (NoTimedated(answer.error.error)) {
        return std::nullopt;
    }
    return ClockSetResult{false, Reason(answer.error.error, -EIO)};
}

}  // namespace velmora
