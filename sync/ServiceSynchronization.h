#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ClockService.h"
#include "platform/HistoryStore.h"
#include "sync/ServiceProtocol.h"
#include "sync/SyncStatus.h"

namespace velmora {

// Who sets the clock for a command that is to set it: the machine's clock service, asked first
// where the platform has one, since it may set the clock when the user may not; the program
// itself (the elevated copy, the administrator's approval) where there is none, it does not
// answer, or, after a click, it left the clock for someone who may set it.

// Sends "synchronize now"; the service's report, or nothing when no report came back whole.
// Blocks while the service asks its servers: runs on the worker.
std::optional<ServiceReport> AskServiceToSynchronize(ClockService& service);

// Whether the service's reply settles the command. Unattended, any report does: the service keeps
// the clock, and nobody is there to approve more. A click is settled unless the service left the
// clock for the user: the system's own time service keeps it (the click offers to turn it off),
// the machine's settings cannot be read, or the step is beyond what an answer nobody approved may
// move the clock.
bool ServiceSettles(const std::optional<ServiceReport>& report, bool unattended);

// What a report brings that the service's status seen before it did not.
struct ServiceNews {
    // A fresh answer: the server's time minus the clock now, in seconds (less a step the service
    // made by it), and whether it came authenticated.
    std::optional<double> serverAheadSeconds;
    bool authenticated = false;
    // The service stepped the clock, by this much.
    std::optional<double> stepSeconds;
    // The service asked and no server gave it the time.
    bool noTime = false;
};
ServiceNews NewsSince(const SyncStatus& before, const ServiceReport& report);

// The lines the window shows after the report's status lines: what the service refused, why it
// synchronizes nothing, the step it did not make.
std::vector<std::string> ServiceLines(const ServiceReport& report);

// The service's answers and steps join the user's history as the service's reports bring them: a
// report carries the service's latest records, so those made while nobody was logged on come
// with the next report. Each record is taken once, also across runs of the program.
class ServiceHistory {
  public:
    // The records of `reported` (oldest first) that are new: not taken before, and, at the first
    // report of the run, not in `kept` already.
    std::vector<HistoryRecord> Take(const std::vector<HistoryRecord>& reported,
                                    const HistoryStore& kept);

  private:
    // The time of the newest record taken; nothing before the first report.
    std::optional<double> takenUpTo_;
};

}  // namespace velmora
