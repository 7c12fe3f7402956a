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
constexpr const char* kFailedToContact = "Failed to contact time server";

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
        Synchronizecomputerclock1Click();
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
    for (std::size_t i = 0; i < ServerList.size(); ++i) {
        client->ServerHost = ServerList[i];
        if (client->QueryServer()) {
            StoreServerTime(client->ServerTime() - ZoneBias);
            return;
        }
        services_.View.SetServerTimeText(kFailedToContact);
        failureShown_ = true;
        if (!GlobalNextSrvOnFail) {
            return;
        }
    }
}

void SyncController::StoreServerTime(TDateTime t) {
    ClockOffset = t - Now();
    ServerTimeKnown = true;
    failureShown_ = false;
    UpdateTimerTimer();
}

void SyncController::AdjustClockButtonClick() {
    if (services_.View.ServerTimeText().empty()) {
        CheckTimeServerButtonClick();
    }
    ClockSetResult result =
        SetComputerClock(services_.Platform.Clock, Now() + ClockOffset + ZoneBias);
    UpdateTimerTimer();
    if (result.accepted) {
        ClockOffset = 0;
    } else if (services_.ReportError) {
        // The offset stays: the clock still differs from the server by that much.
        services_.ReportError("Unable to set the computer clock: " + result.reason);
    }
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
    CheckTimeServerButtonClick();
    AdjustClockButtonClick();
}

void SyncController::Synchronizecomputerclock1Click() {
    Timer1Timer();
}

void SyncController::StartDisplayRefresh() {
    services_.UpdateTimer.SetEnabled(true);
}

}  // namespace velmora
