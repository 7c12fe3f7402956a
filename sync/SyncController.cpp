#include "sync/SyncController.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "core/Error.h"
#include "sync/ClockStep.h"
#include "sync/ClockZone.h"
#include "sync/DateTimeText.h"

namespace velmora {

namespace {

constexpr std::int32_t kDisplayRefreshInterval = 500;

}  // namespace

PlatformServices WithHistory(PlatformServices& services, HistoryStore& history) {
    return PlatformServices{services.Clock,      services.Zone,
                            services.Profile,    services.Program,
                            services.Autostart,  history,
                            services.ClockWatch, std::move(services.MakeSntpClient),
                            services.Service,    services.Machine};
}

SyncController::SyncController(SyncControllerServices services)
    : services_(std::move(services)), commands_([this](Command c) { StartCommand(c); }) {
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
    services_.Timer1.SetInterval(SyncPeriodMilliseconds(UpdateClockInterval));
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
    HoldMachineSettings();
    kept_.Keep(held_.UsersOwn(*this));
    ApplyTimer1();
    ClockOffset = 0;
    UpdateTimerTimer();
    if (!GlobalAutorun) {
        return;
    }
    // The window opens at once; the synchronization runs behind it. The window has to open even
    // when the synchronization goes wrong; the message still reaches the user.
    try {
        commands_.Push(Command::AtStart);
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
    const TSettings own = held_.UsersOwn(*this);
    kept_.Keep(own);
    SaveSettings(own, services_.Platform.Profile);
}

void SyncController::HoldMachineSettings() {
    try {
        held_.Hold(services_.Platform.Machine, *this);
    } catch (const Error& error) {
        // The user's own stay; the options dialog says the same when it opens.
        if (services_.ReportError) {
            services_.ReportError(error.what());
        }
    }
    SplitList(GlobalTimeSrvList, '|', ServerList);
}

void SyncController::SaveKeptSettings() {
    if (const std::optional<ProfileFile::KeyValues> values = kept_.Kept()) {
        services_.Platform.Profile.WriteStrings(kSettingsSection, *values);
    }
}

void SyncController::CheckTimeServerButtonClick() {
    commands_.Push(Command::GetTime);
}

void SyncController::AdjustClockButtonClick() {
    commands_.Push(Command::Adjust);
}

void SyncController::StartCommand(Command command) {
    command_ = RunningCommand::After(command_, command);
    serviceLines_.clear();
    services_.View.SetBusyCursor(true);
    const Then finish = [this, number = command_.Number] { FinishCommand(number); };
    Guarded([this, command, finish] {
        switch (command) {
            case Command::GetTime:
                Query(false, finish);
                break;
            case Command::Adjust:
                ServiceFirst(
                    false, Guarded([this, finish] { Adjust(Refusal::TellAlways, false, finish); }),
                    finish);
                break;
            case Command::Synchronize:
            case Command::Periodic:
            case Command::AtStart: {
                const bool unattended = command != Command::Synchronize;
                // Only a periodic synchronization passes over servers that asked us to slow down.
                const Then ourselves = [this, command, unattended, finish] {
                    Query(command == Command::Periodic, Guarded([this, unattended, finish] {
                              SetClock(RefusalFor(unattended), unattended, finish);
                          }));
                };
                ServiceFirst(unattended, Guarded(ourselves), finish);
                break;
            }
        }
    })();
}

void SyncController::FinishCommand(std::uint64_t number) {
    if (number != command_.Number || !commands_.Running()) {
        return;
    }
    services_.View.SetBusyCursor(false);
    commands_.Finish();
}

SyncController::Then SyncController::Guarded(Then step) {
    return GuardedFor(command_.Number, std::move(step));
}

SyncController::Then SyncController::GuardedFor(std::uint64_t number, Then step) {
    return [this, step = std::move(step), number] {
        try {
            step();
        } catch (...) {
            FinishCommand(number);
            throw;
        }
    };
}

void SyncController::ServiceFirst(bool unattended, Then ourselves, Then then) {
    ClockService* service = services_.Platform.Service;
    if (!service) {
        ourselves();
        return;
    }
    auto report = std::make_shared<std::optional<ServiceReport>>();
    // The service's own step tells of itself too, maybe before its report is here.
    stepping_ = true;
    services_.Work.Run(
        [report, service](const Worker::Post&) { *report = AskServiceToSynchronize(*service); },
        Guarded([this, report, unattended, ourselves, then] {
            stepping_ = false;
            if (*report) {
                HistoryStore& history = services_.Platform.History;
                for (const HistoryRecord& record :
                     serviceHistory_.Take((*report)->history, history)) {
                    history.Append(record);
                }
            }
            if (!ServiceSettles(*report, unattended)) {
                ourselves();
                return;
            }
            TakeServiceReport(**report, unattended);
            then();
        }));
}

void SyncController::TakeServiceReport(const ServiceReport& report, bool unattended) {
    UpdateZoneBias();
    const ServiceNews news = NewsSince(serviceSeen_, report);
    serviceSeen_ = report.status;
    status_ = report.status;
    serviceLines_ = ServiceLines(report);
    TakeClockChange(news.stepSeconds.value_or(0));
    if (news.stepSeconds) {
        told_.Renew();
    }
    if (news.serverAheadSeconds) {
        heldAuthenticated_ = news.authenticated;
        told_.TimeCame();
        StoreServerTime(Now() + *news.serverAheadSeconds / kSecondsPerDay);
    } else if (news.noTime) {
        ShowFailure();
        CountFailure(unattended);
    }
    ShowStatus();
    // A refused request did nothing: what its report holds has been told already.
    if (!report.refusal.empty()) {
        return;
    }
    if (report.stepGuarded) {
        if (told_.TellGuard()) {
            Report(ServiceLeftForAClickText(report.stepRefusal));
        }
    } else if (!report.stepRefusal.empty()) {
        TellRefusal(RefusalFor(unattended),
                    RefusedStepReason(report.stepRefusal, report.refusedStepSeconds));
    }
}

void SyncController::Query(bool periodic, Then then) {
    UpdateZoneBias();
    if (ServerList.empty()) {
        ServerList.emplace_back(kDefaultServer1);
        ServerList.emplace_back(kDefaultServer2);
    }
    std::vector<std::string> askable = kissOfDeath_.Askable(ServerList, periodic);
    command_.Failures.clear();
    if (askable.empty()) {
        ShowFailure();
        then();
        return;
    }
    auto outcome = std::make_shared<QueryOutcome>();
    // Each failed entry shows as it fails, while a long list is worked through.
    services_.Work.Run(
        [this, outcome, askable = std::move(askable), nextOnFail = GlobalNextSrvOnFail,
         makeClient = services_.Platform.MakeSntpClient, &clock = services_.Platform.Clock,
         number = command_.Number](const Worker::Post& post) {
            *outcome = AskServers(
                askable, nextOnFail, makeClient, clock, [&](const QueryAttempt& attempt) {
                    if (!attempt.answered) {
                        post(GuardedFor(number, [this, attempt] { TakeFailure(attempt); }));
                    }
                });
        },
        Guarded([this, outcome, then] {
            TakeQuery(*outcome);
            then();
        }));
}

void SyncController::TakeFailure(const QueryAttempt& attempt) {
    kissOfDeath_.Note(attempt.entry, attempt.kissCode);
    command_.Failures.push_back(attempt);
    ShowFailure();
}

void SyncController::TakeQuery(const QueryOutcome& outcome) {
    if (!outcome.answer) {
        status_.failures = command_.Failures;
        ShowStatus();
        CountFailure(command_.Unattended);
        return;
    }
    // A setting of the clock during the query, whose word has not come yet, most likely came
    // before the exchange: the answer already shows it, and follows it in the history.
    TakeClockChange(0);
    const QueryAttempt& answered = outcome.attempts.back();
    command_.Answer = answered;
    status_.answer = answered;
    status_.failures.clear();
    heldAuthenticated_ = answered.authenticated;
    told_.TimeCame();
    services_.Platform.History.Append(
        {HistoryRecord::Kind::Answer, ToUnixSeconds(outcome.answer->Utc), answered.entry,
         answered.offsetSeconds, answered.delaySeconds, answered.authenticated});
    // The answer came a moment ago, on the worker: carried forward to now.
    const SystemClock& clock = services_.Platform.Clock;
    StoreServerTime(HeldUtcAt(*outcome.answer, clock.SteadySeconds()) - ZoneBias);
    status_.answeredAt = Now();
    ShowStatus();
}

void SyncController::ShowStatus() {
    services_.View.SetTimeStatus(StatusLines(status_, serviceLines_));
}

void SyncController::CountFailure(bool unattended) {
    if (const std::optional<Notification> warning = told_.NoTime(unattended, status_)) {
        services_.View.ShowNotification(warning->title, warning->text);
    }
}

void SyncController::ShowFailure() {
    services_.View.SetServerTimeText(kFailedToContact);
    failureShown_ = true;
}

void SyncController::StoreServerTime(TDateTime t) {
    ClockOffset = t - Now();
    heldServerTime_ = HeldTime{t + ZoneBias, services_.Platform.Clock.SteadySeconds()};
    ServerTimeKnown = true;
    failureShown_ = false;
    UpdateTimerTimer();
}

void SyncController::Adjust(Refusal refusal, bool unattended, Then then) {
    if (services_.View.ServerTimeText().empty()) {
        Query(false,
              Guarded([this, refusal, unattended, then] { SetClock(refusal, unattended, then); }));
        return;
    }
    SetClock(refusal, unattended, then);
}

void SyncController::SetClock(Refusal refusal, bool unattended, Then then) {
    const std::optional<double> offset = StepToMake();
    if (!offset || !StepAllowed(*offset, unattended)) {
        UpdateTimerTimer();
        then();
        return;
    }
    StepOnWorker(refusal, false, then,
                 [this, refusal, unattended, then] { TimeServiceOn(refusal, unattended, then); });
}

std::optional<double> SyncController::StepToMake() {
    std::optional<double> offset;
    if (heldServerTime_) {
        offset = OffsetToServer(services_.Platform.Clock, *heldServerTime_);
    }
    const StepChoice choice = ChooseStep(command_, offset);
    if (choice.leftAlone != SyncStatus::LeftAlone::No) {
        LeaveClockAlone(choice);
    }
    return choice.offsetSeconds;
}

void SyncController::LeaveClockAlone(const StepChoice& choice) {
    status_.leftAlone = choice.leftAlone;
    status_.leftAloneAt = Now();
    status_.agreesWithinSeconds = choice.withinSeconds;
    ShowStatus();
}

void SyncController::StepOnWorker(Refusal refusal, bool stopService, Then then, Then serviceOn) {
    const AskUser ask = told_.Approval(refusal);
    auto outcome = std::make_shared<StepOutcome>();
    stepping_ = true;
    services_.Work.Run(
        [outcome, &clock = services_.Platform.Clock, held = *heldServerTime_, ask, stopService](
            const Worker::Post&) { *outcome = StepToServer(clock, held, ask, stopService); },
        Guarded([this, outcome, refusal, then, serviceOn] {
            stepping_ = false;
            if (outcome->timeServiceOn) {
                TakeClockChange(0);
                serviceOn();
                return;
            }
            TakeSetting(refusal, *outcome);
            TakeClockChange(outcome->result.accepted ? outcome->offsetSeconds : 0);
            then();
        }));
}

bool SyncController::StepAllowed(double offsetSeconds, bool unattended) {
    const StepPermission permission =
        PermitStep(offsetSeconds, StepLimitSeconds, unattended, heldAuthenticated_, told_);
    switch (permission.verdict) {
        case StepPermission::Verdict::Step:
            return true;
        case StepPermission::Verdict::Ask:
            return Ask(permission.text);
        case StepPermission::Verdict::LeaveAlone:
            break;
    }
    if (!permission.text.empty()) {
        Report(permission.text);
    }
    return false;
}

bool SyncController::Ask(const std::string& question) {
    // The hourglass would say the program is busy while it waits for the user.
    services_.View.SetBusyCursor(false);
    const bool yes = services_.AskYesNo && services_.AskYesNo(question);
    services_.View.SetBusyCursor(true);
    return yes;
}

void SyncController::TimeServiceOn(Refusal refusal, bool unattended, Then then) {
    // Unattended, the server field goes on showing the server's time for the user to compare.
    const std::optional<std::string> question = TimeServiceQuestion(unattended);
    if (!question) {
        UpdateTimerTimer();
        then();
        return;
    }
    if (!Ask(*question)) {
        then();
        return;
    }
    StepOnWorker(refusal, true, then, then);
}

void SyncController::TakeSetting(Refusal refusal, const StepOutcome& outcome) {
    const ClockSetResult& result = outcome.result;
    if (result.accepted) {
        ClockOffset = 0;
        told_.Renew();
        status_.stepped = true;
        status_.steppedAt = Now();
        status_.leftAlone = SyncStatus::LeftAlone::No;
        status_.stepSeconds = outcome.offsetSeconds;
        ShowStatus();
        services_.Platform.History.Append({HistoryRecord::Kind::Step,
                                           ToUnixSeconds(services_.Platform.Clock.UtcNow()), "",
                                           outcome.offsetSeconds, 0, false});
        UpdateTimerTimer();
        return;
    }
    UpdateTimerTimer();
    // The offset stays: the clock still differs from the server by that much.
    TellRefusal(refusal, result.reason);
}

void SyncController::TellRefusal(Refusal refusal, const std::string& reason) {
    if (const std::optional<std::string> text = told_.Refused(refusal, reason)) {
        Report(*text);
    }
}

void SyncController::Report(const std::string& text) {
    if (services_.ReportError) {
        services_.ReportError(text);
    }
}

void SyncController::ClockWasSet() {
    // Our own step tells of itself too, maybe before it has come back from the worker.
    if (!stepping_) {
        TakeClockChange(0);
    }
}

void SyncController::TakeClockChange(double ownSeconds) {
    // Less is the rounding of our own step; a resume from suspend tells of a setting too, of none.
    constexpr double kSmallestStep = 0.001;
    const double other = services_.Platform.ClockWatch.TakeChangeSeconds() - ownSeconds;
    if (std::fabs(other) < kSmallestStep) {
        return;
    }
    services_.Platform.History.Append({HistoryRecord::Kind::OtherStep,
                                       ToUnixSeconds(services_.Platform.Clock.UtcNow()), "", other,
                                       0, false});
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
    commands_.Push(Command::Periodic);
}

void SyncController::Synchronizecomputerclock1Click() {
    commands_.Push(Command::Synchronize);
}

void SyncController::StartDisplayRefresh() {
    services_.UpdateTimer.SetEnabled(true);
}

}  // namespace velmora
