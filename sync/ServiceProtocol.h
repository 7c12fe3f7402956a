#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/HistoryStore.h"
#include "sync/SyncStatus.h"

namespace velmora {

// What the program and the clock service say to each other. A request is one of a fixed few and
// carries nothing else: no time, no offset, no server. The service takes its servers and rules
// from the machine's settings alone and sets the clock only by its own answer.

// The longest request the service reads; anything longer is refused unread.
inline constexpr std::size_t kLongestServiceRequest = 64;
// The longest report the program reads.
inline constexpr std::size_t kLongestServiceReport = 16384;
// The service's answers and steps a report carries, newest last.
inline constexpr std::size_t kReportedHistory = 32;

enum class ServiceRequest { SynchronizeNow, TellState };

// The request's bytes: "synchronize now" or "tell me your state".
std::string RequestText(ServiceRequest request);

// A request as the service read it: the request, or why it is refused.
struct ParsedRequest {
    std::optional<ServiceRequest> request;
    std::string refusal;
};
ParsedRequest ParseRequest(std::string_view bytes);
// The refusal of a message longer than kLongestServiceRequest.
std::string OversizedRefusal();

// What the service answers every request with: its state after doing what was asked.
struct ServiceReport {
    // Why the request was refused (malformed, oversized, too often); nothing was done then.
    std::string refusal;
    // Why the service synchronizes nothing: the machine's settings cannot be read.
    std::string settingsProblem;
    // The last answer, step, or why none, as the program's window tells them.
    SyncStatus status;
    // The Windows Time service keeps the clock, and the service left it alone.
    bool timeServiceOn = false;
    // Why the last answer's step was not made (the system refused it, in its words, or it was
    // beyond the step limit), and how far it was to move the clock; empty when the last answer
    // stepped the clock or needed no step.
    std::string stepRefusal;
    double refusedStepSeconds = 0;
    // The step was beyond the machine's step limit for an answer nobody approved: someone who
    // may set the clock can still make it.
    bool stepGuarded = false;
    // The service's answers and steps, oldest first.
    std::vector<HistoryRecord> history;
};

// One line per item, tab-separated fields; tabs and line ends inside texts become blanks.
std::string ReportText(const ServiceReport& report);
// Nothing when `text` is too long or not a report; lines of kinds this version does not know are
// passed over.
std::optional<ServiceReport> ParseReport(std::string_view text);

}  // namespace velmora
