#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/SystemClock.h"
#include "service/EventSink.h"
#include "sync/KissOfDeath.h"
#include "sync/ServiceProtocol.h"
#include "sync/SettingsTable.h"
#include "sync/TimeQuery.h"

namespace velmora {

// The machine's settings, read afresh; throws velmora::Error saying why they cannot be read.
using MachineSettingsReader = std::function<TSettings()>;

struct KeeperServices {
    SystemClock& Clock;
    SntpClientFactory MakeSntpClient;
    MachineSettingsReader ReadSettings;
    EventSink& Events;
};

// The service's synchronizations: the machine's servers asked with the program's client, reply
// checks and kiss-o'-death book, the clock stepped only by that answer, beyond its uncertainty,
// and within the step limit unless the answer came authenticated. Nobody is ever asked. Every
// step, refusal and settings problem goes to the event log. One thread at a time.
class ClockKeeper {
  public:
    explicit ClockKeeper(KeeperServices services);

    // The machine's settings; nothing when they cannot be read (the report and the event log
    // say why, once until they can be read again).
    std::optional<TSettings> Settings();
    // Asks the servers and steps the clock by the answer, as the rules allow. `periodic` passes
    // over the servers that asked to be asked less often.
    void Synchronize(bool periodic);
    const ServiceReport& Report() const { return report_; }

  private:
    void TakeFailures(const QueryOutcome& outcome);
    // Steps by the answer `answered`, held as `held`, when the rules allow.
    void StepBy(const QueryAttempt& answered, const HeldTime& held, std::int32_t limitSeconds);
    void LeaveAlone(SyncStatus::LeftAlone why, double withinSeconds);
    void AddHistory(HistoryRecord record);

    KeeperServices services_;
    KissOfDeathBook kissOfDeath_;
    ServiceReport report_;
};

}  // namespace velmora
