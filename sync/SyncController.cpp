#include "sync/SyncController.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "net/SNTPsend.h"
#include "sync/ClockZone.h"
#include "sync/DateTimeText.h"

namespace velmora {

namespace {

constexpr std::int32_t kDisplayRefreshInterval = 500;

// The hourglass for as long as a query runs, however it ends.
class BusyCursor {
  public:
    explicit BusyCursor(TimeView& view) : view_(view) { view_.SetBusyCursor(true); }
    ~BusyCursor() { view_.SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    TimeView& view_;
};

// A clock set every few milliseconds would be a clock never left alone: a positive interval is
// raised to the shortest period; zero and negative intervals never fire.
std::int32_t Timer1Interval(std::int32_t stored) {
    return stored <= 0 ? 0 : std::max(stored, kShortestSyncInterval);
}

}  // namespace

SyncController::SyncController(SyncControllerServices services) : services_(std::move(services)) {
    services_.UpdateTimer.OnTimer = [this] { UpdateTimerTimer(); };
    services_.Timer1.OnTimer = [this] { Timer1Timer(); };
}

SyncController::~SyncController() {
    services_.UpdateTimer.OnTimer = nullptr;
    services_.Timer1.OnTimer = nullptr;
}

TDateTime SyncController::Now() const {
    return velmora::Now(services_.Platform.Clock);
}

void SyncController::UpdateZoneBias() {
    ZoneBias = velmora::UpdateZoneBias(services_.Platform.Zone, Now());
}

void SyncController::ApplyTimer1() {
    services_.Timer1.SetEnabled(UpdateClock);
    services_.Timer1.SetInterval(Timer1Interval(UpdateClockInterval));
}

void SyncController::FormCreate() {
    services_.UpdateTimer.SetEnabled(false);
    ServerTimeKnown = false;
    services_.View.SetLocalTimeText("");
    services_.View.SetServerTimeText("");
    services_.UpdateTimer.SetInterval(kDisplayRefreshInterval);
    UpdateZoneBias();
    ServerList.clear();
    LoadSettings(*this, ServerList, services_.Platform.Profile, services_.View);
    ApplyTimer1();
    ClockOffset = 0;
    UpdateTimerTimer();
    if (!GlobalAutorun) {
        return;
    }
    // The window has to open even when the start-up synchronization goes wrong; the message
    // still reaches the user.
    try {
        Synchronize(Unattended::AtStart);
    } catch (const std::exception& error) {
        if (services_.ReportError) {
            services_.ReportError(error.what());
        }
    }
}

void SyncController::FormDestroy() {
    struct ReleaseList {
        std::vector<std::string>& list;
        ~ReleaseList() { list.clear(); }
    } release{ServerList};
    SaveSettingsNow();
}

void SyncController::SaveSettingsNow() {
    SaveSettings(*this, services_.Platform.Profile);
}

void SyncController::CheckTimeServerButtonClick() {
    UpdateZoneBias();
    std::unique_ptr<TSNTPSend> client = services_.Platform.MakeSntpClient();
    BusyCursor busy(services_.View);
    if (ServerList.empty()) {
        ServerList.emplace_back(kDefaultServer1);
        ServerList.emplace_back(kDefaultServer2);
    }
    const std::vector<std::string> askable = kissOfDeath_.Askable(ServerList, periodicSync_);
    if (askable.empty()) {
        ShowFailure();
    }
    for (std::size_t i = 0; i < askable.size(); ++i) {
        client->ServerHost = askable[i];
        if (client->QueryServer()) {
            StoreServerTime(client->ServerTime() - ZoneBias);
            return;
        }
        kissOfDeath_.Note(askable[i], client->KissCode());
        ShowFailure();
        if (!GlobalNextSrvOnFail) {
            return;
        }
    }
}

void SyncController::ShowFailure() {
    services_.View.SetServerTimeText(kFailedToContact);
    failureShown_ = true;
}

void SyncController::StoreServerTime(TDateTime t) {
    ClockOffset = t - Now();
    heldServerTime_ = HeldServerTime{t + ZoneBias, services_.Platform.Clock.SteadySeconds()};
    ServerTimeKnown = true;
    failureShown_ = false;
    UpdateTimerTimer();
}

void SyncController::AdjustClockButtonClick() {
    AdjustClock(Refusal::TellAlways);
}

void SyncController::AdjustClock(Refusal refusal) {
    if (services_.View.ServerTimeText().empty()) {
        CheckTimeServerButtonClick();
    }
    // Once an unattended refusal has been told, later unattended settings do not stop to ask for a
    // password each period either.
    const bool ask = refusal == Refusal::TellAlways || !refusalTold_;
    ClockSetResult result = SetClockBusy(ask ? AskUser::Yes : AskUser::No);
    UpdateTimerTimer();
    if (result.accepted) {
        ClockOffset = 0;
        refusalTold_ = false;
        return;
    }
    // The offset stays: the clock still differs from the server by that much. Unattended
    // settings tell a refusal once, not every period.
    if (refusal == Refusal::TellOnce && refusalTold_) {
        return;
    }
    refusalTold_ = true;
    if (services_.ReportError) {
        services_.ReportError("Unable to set the computer clock: " + result.reason);
    }
}

ClockSetResult SyncController::SetClockBusy(AskUser ask) {
    // polkit may ask the user for a password while the thread waits for the answer.
    BusyCursor busy(services_.View);
    const HeldServerTime target{ServerUtcNow(), services_.Platform.Clock.SteadySeconds()};
    const ClockSetResult result = SetComputerClock(services_.Platform.Clock, target.Utc, ask);
    if (result.accepted) {
        heldServerTime_ = target;
    }
    return result;
}

TDateTime SyncController::ServerUtcNow() const {
    const SystemClock& clock = services_.Platform.Clock;
    if (!heldServerTime_) {
        return clock.UtcNow();
    }
    return heldServerTime_->Utc +
           (clock.SteadySeconds() - heldServerTime_->Steady) / kSecondsPerDay;
}

void SyncController::UpdateTimerTimer() {
    const TDateTime now = Now();
    const double shown = DisplayLocalTime ? 0 : ZoneBias;
    services_.View.SetLocalTimeText(DateTimeText(now + shown));
    if (DisplayLocalTime) {
        services_.View.SetTimeCaptions("Current time", "Atomic clock time");
    } else {
        services_.View.SetTimeCaptions("Current time (GMT)", "Atomic clock time (GMT)");
    }
    if (ServerTimeKnown && !failureShown_) {
        services_.View.SetServerTimeText(DateTimeText(now + ClockOffset + shown));
    }
}

void SyncController::Timer1Timer() {
    Synchronize(Unattended::Periodic);
}

void SyncController::Synchronizecomputerclock1Click() {
    Synchronize(Unattended::No);
}

void SyncController::Synchronize(Unattended unattended) {
    // Only a periodic synchronization passes over servers that asked us to slow down.
    periodicSync_ = unattended == Unattended::Periodic;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{periodicSync_};
    CheckTimeServerButtonClick();
    AdjustClock(unattended == Unattended::No ? Refusal::TellAlways : Refusal::TellOnce);
}

void SyncController::StartDisplayRefresh() {
    services_.UpdateTimer.SetEnabled(true);
}

}  // namespace velmora
