#pragma once

#include <chrono>
#include <future>
#include <optional>
#include <string>

#include "net/SNTPsend.h"
#include "tests/fixtures/NtpResponder.h"

namespace velmora::nettest {

struct QueryOutcome {
    bool result = false;
    std::int32_t error = 0;
    double seconds = 0;  // how long QueryServer took
};

inline QueryOutcome TimedQuery(TSNTPSend& client) {
    const auto start = std::chrono::steady_clock::now();
    QueryOutcome outcome;
    outcome.result = client.QueryServer();
    outcome.error = client.Socket().SocketError;
    outcome.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

inline std::future<QueryOutcome> QueryInBackground(TSNTPSend& client) {
    return std::async(std::launch::async, [&client] { return TimedQuery(client); });
}

// A standard reply with one byte changed.
inline NtpResponder::ReplyBuilder Patched(std::size_t offset, char value) {
    return [offset, value](const std::string& request) -> std::optional<std::string> {
        auto reply = NtpResponder::StandardReply(request, 0.0);
        reply[offset] = value;
        return reply;
    };
}

inline NtpResponder::ReplyBuilder Resized(std::size_t length) {
    return [length](const std::string& request) -> std::optional<std::string> {
        auto reply = NtpResponder::StandardReply(request, 0.0);
        reply.resize(length, '\x42');
        return reply;
    };
}

}  // namespace velmora::nettest
