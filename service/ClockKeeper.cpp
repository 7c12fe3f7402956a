#include "service/ClockKeeper.h"

#include <cmath>
#include <exception>
#include <utility>

#include "sync/ClockStep.h"
#include "sync/ClockZone.h"
#include "sync/Settings.h"
#include "sync/SyncStatus.h"

namespace velmora {
namespace {

std::string AnswerWords(const QueryAttempt& answered) {
    return "the answer of " + answered.entry + " (offset " +
           SignedDuration(answered.offsetSeconds) + ", round trip " +
           SignedDuration(answered.delaySeconds).substr(1) +
           (answered.authenticated ? ", authenticated" : "") + ")";
}

}  // namespace

ClockKeeper::ClockKeeper(KeeperServices services) : services_(std::move(services)) {}

std::optional<TSettings> ClockKeeper::Settings() {
    try {
        TSettings settings = services_.ReadSettings();
        report_.settingsProblem.clear();
        return settings;
    } catch (const std::exception& error) {
        std::string problem = error.what();
        if (problem.empty() || problem.back() != '.') {
            problem += '.';
        }
        problem += " The service synchronizes nothing until they can be read.";
        if (problem != report_.settingsProblem) {
            services_.Events.Record(EventSink::Level::Error, problem);
        }
        report_.settingsProblem = problem;
        return std::nullopt;
    }
}

void ClockKeeper::Synchronize(bool periodic) {
    const std::optional<TSettings> settings = Settings();
    if (!settings) {
        return;
    }
    std::vector<std::string> list;
    SplitList(settings->GlobalTimeSrvList, '|', list);
    if (list.empty()) {
        list = {kDefaultServer1, kDefaultServer2};
    }
    const std::vector<std::string> askable = kissOfDeath_.Askable(list, periodic);
    const QueryOutcome outcome =
        AskServers(askable, settings->GlobalNextSrvOnFail, services_.MakeSntpClient,
                   services_.Clock, [](const QueryAttempt&) {});
    if (!outcome.answer) {
        TakeFailures(outcome);
        return;
    }
    const QueryAttempt& answered = outcome.attempts.back();
    report_.status.answer = answered;
    report_.status.answeredAt = Now(services_.Clock);
    report_.status.failures.clear();
    AddHistory({HistoryRecord::Kind::Answer, ToUnixSeconds(outcome.answer->Utc), answered.entry,
                answered.offsetSeconds, answered.delaySeconds, answered.authenticated});
    StepBy(answered, *outcome.answer, settings->StepLimitSeconds);
}

void ClockKeeper::TakeFailures(const QueryOutcome& outcome) {
    for (const QueryAttempt& attempt : outcome.attempts) {
        kissOfDeath_.Note(attempt.entry, attempt.kissCode);
    }
    report_.status.failures = outcome.attempts;
    LeaveAlone(SyncStatus::LeftAlone::NoAnswer, 0);
    const std::string why =
        outcome.attempts.empty()
            ? "every server of the list has refused to be asked"
            : FailureReason(outcome.attempts.back(), report_.status.replyTimeoutSeconds);
    services_.Events.Record(EventSink::Level::Warning,
                            "No time server answered (" + why + "); the clock was left alone.");
}

void ClockKeeper::StepBy(const QueryAttempt& answered, const HeldTime& held,
                         std::int32_t limitSeconds) {
    // The verdict on this answer replaces the last one's.
    report_.stepRefusal.clear();
    report_.stepGuarded = false;
    const double offset = OffsetToServer(services_.Clock, held);
    const double within = AnswerUncertainty(answered.delaySeconds);
    if (std::fabs(offset) < within) {
        LeaveAlone(SyncStatus::LeftAlone::Agrees, within);
        return;
    }
    // Anyone on the path can forge a plain answer; an authenticated one is trusted.
    if (!answered.authenticated && !WithinStepLimit(offset, limitSeconds)) {
        report_.stepRefusal = "the server's time (not authenticated) is " + SignedDuration(offset) +
                              " from the clock, more than the " +
                              SignedDuration(limitSeconds).substr(1) +
                              " the machine's settings allow a step nobody approved";
        report_.refusedStepSeconds = offset;
        report_.stepGuarded = true;
        services_.Events.Record(EventSink::Level::Warning,
                                "The clock was left alone: " + report_.stepRefusal + ", by " +
                                    AnswerWords(answered) + ".");
        return;
    }
    const StepOutcome step = StepToServer(services_.Clock, held, AskUser::No, false);
    report_.timeServiceOn = step.timeServiceOn;
    if (step.timeServiceOn) {
        return;
    }
    if (!step.result.accepted) {
        report_.stepRefusal = step.result.reason;
        report_.refusedStepSeconds = step.offsetSeconds;
        services_.Events.Record(EventSink::Level::Error,
                                "Unable to set the computer clock: " + step.result.reason +
                                    " (a step of " + SignedDuration(step.offsetSeconds) + " by " +
                                    AnswerWords(answered) + ").");
        return;
    }
    report_.status.stepped = true;
    report_.status.steppedAt = Now(services_.Clock);
    report_.status.stepSeconds = step.offsetSeconds;
    report_.status.leftAlone = SyncStatus::LeftAlone::No;
    AddHistory({HistoryRecord::Kind::Step, ToUnixSeconds(services_.Clock.UtcNow()), "",
                step.offsetSeconds, 0, false});
    services_.Events.Record(EventSink::Level::Information,
                            "Stepped the computer clock by " + SignedDuration(step.offsetSeconds) +
                                ", by " + AnswerWords(answered) + ".");
}

void ClockKeeper::LeaveAlone(SyncStatus::LeftAlone why, double withinSeconds) {
    report_.status.leftAlone = why;
    report_.status.leftAloneAt = Now(services_.Clock);
    report_.status.agreesWithinSeconds = withinSeconds;
}

void ClockKeeper::AddHistory(HistoryRecord record) {
    report_.history.push_back(std::move(record));
    if (report_.history.size() > kReportedHistory) {
        report_.history.erase(report_.history.begin());
    }
}

}  // namespace velmora
