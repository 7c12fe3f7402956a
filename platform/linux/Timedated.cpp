#include "platform/linux/Timedated.h"

#include <systemd/sd-bus.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace velmora {
namespace {

constexpr const char* kService = "org.freedesktop.timedate1";
constexpr const char* kObject = "/org/freedesktop/timedate1";
constexpr const char* kInterface = "org.freedesktop.timedate1";
// timedated gives polkit 25 s and then answers itself; this only bounds a timedated that hangs.
constexpr std::uint64_t kAnswerTimeoutUsec = 60ULL * 1000 * 1000;
// Reading a property: time enough for the bus to start timedated.
constexpr std::uint64_t kPropertyTimeoutUsec = 10ULL * 1000 * 1000;
constexpr const char* kNoAnswer = "systemd-timedated did not answer within 60 seconds";
constexpr const char* kPromptTimedOut =
    "The password prompt was not answered within the 25 seconds systemd-timedated allows";

struct BusClose {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using Bus = std::unique_ptr<sd_bus, BusClose>;
using Message = std::unique_ptr<sd_bus_message, MessageUnref>;
using Arguments = std::function<int(sd_bus_message*)>;

struct BusError {
    sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C compound literal
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&error); }
};

Bus OpenSystemBus() {
    sd_bus* raw = nullptr;
    if (sd_bus_open_system(&raw) < 0) {
        return nullptr;
    }
    return Bus(raw);
}

Message MethodCall(sd_bus* bus, const char* method, bool interactive, const Arguments& append) {
    sd_bus_message* raw = nullptr;
    if (sd_bus_message_new_method_call(bus, &raw, kService, kObject, kInterface, method) < 0) {
        return nullptr;
    }
    Message call(raw);
    if (append(call.get()) < 0 ||
        sd_bus_message_set_allow_interactive_authorization(call.get(), interactive ? 1 : 0) < 0) {
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
// program meanwhile (the polkit prompt may stay open a while) does not end the wait: the call has
// been sent and must not be sent again.
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

// The error in its own words; its name, or the failure's, when it brings none. A call that ran
// out of time is timedated's own giving up on polkit, unless it was this side's longer wait.
std::string Reason(const sd_bus_error& error, int failure, bool ourWaitOver) {
    if (sd_bus_error_has_name(&error, SD_BUS_ERROR_NO_REPLY)) {
        return ourWaitOver ? kNoAnswer : kPromptTimedOut;
    }
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

std::optional<ClockSetResult> Call(const char* method, bool interactive, const Arguments& append) {
    const Bus bus = OpenSystemBus();
    if (!bus) {
        return std::nullopt;
    }
    const Message call = MethodCall(bus.get(), method, interactive, append);
    if (!call) {
        return std::nullopt;
    }
    Answer answer;
    const auto sent = std::chrono::steady_clock::now();
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
    const bool ourWaitOver =
        std::chrono::steady_clock::now() - sent >= std::chrono::microseconds(kAnswerTimeoutUsec);
    return ClockSetResult{false, Reason(answer.error.error, -EIO, ourWaitOver)};
}

std::optional<bool> BooleanProperty(sd_bus* bus, const char* name) {
    BusError error;
    int value = 0;
    if (sd_bus_get_property_trivial(bus, kService, kObject, kInterface, name, &error.error, 'b',
                                    &value) < 0) {
        return std::nullopt;
    }
    return value != 0;
}

}  // namespace

std::optional<ClockSetResult> TimedatedSetTime(std::int64_t usec, bool relative, bool interactive) {
    return Call("SetTime", interactive, [=](sd_bus_message* call) {
        return sd_bus_message_append(call, "xbb", usec, relative ? 1 : 0, interactive ? 1 : 0);
    });
}

std::optional<ClockSetResult> TimedatedSetNtp(bool on, bool interactive) {
    return Call("SetNTP", interactive, [=](sd_bus_message* call) {
        return sd_bus_message_append(call, "bb", on ? 1 : 0, interactive ? 1 : 0);
    });
}

std::optional<TimeService> TimedatedTimeService() {
    const Bus bus = OpenSystemBus();
    if (!bus || sd_bus_set_method_call_timeout(bus.get(), kPropertyTimeoutUsec) < 0) {
        return std::nullopt;
    }
    const std::optional<bool> ntp = BooleanProperty(bus.get(), "NTP");
    const std::optional<bool> canNtp = BooleanProperty(bus.get(), "CanNTP");
    if (!ntp || !canNtp) {
        return std::nullopt;
    }
    return TimeService{*canNtp, *ntp};
}

}  // namespace velmora
