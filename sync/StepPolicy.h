#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/SystemClock.h"
#include "sync/RunningCommand.h"
#include "sync/SyncStatus.h"

namespace velmora {

// The rules for setting the clock, apart from whoever runs the commands: what to step by, when
// to ask the user first, and what the user hears of it and how often.

// Unattended synchronizations that got no time in a row before the user hears of it.
inline constexpr int kFailuresBeforeWarning = 3;

// Whether a refused setting is told every time (the user asked) or once until a setting succeeds
// or the options are confirmed (periodic and start-up synchronization).
enum class Refusal { TellAlways, TellOnce };
inline Refusal RefusalFor(bool unattended) {
    return unattended ? Refusal::TellOnce : Refusal::TellAlways;
}

// What a command that is to set the clock does: step by an offset, or leave the clock alone and
// say why (LeftAlone::No with no offset: there is nothing to say).
struct StepChoice {
    std::optional<double> offsetSeconds;
    SyncStatus::LeftAlone leftAlone = SyncStatus::LeftAlone::No;
    // Of Agrees: the uncertainty within which clock and server agree.
    double withinSeconds = 0;

    friend bool operator==(const StepChoice&, const StepChoice&) = default;
};
// `offsetToServer`: the held server time minus the clock now; none when no server has answered.
// A synchronization steps only by its own answer, and only by more than that answer can tell;
// any other step by more than the clock's reading can.
StepChoice ChooseStep(const RunningCommand& command, std::optional<double> offsetToServer);

// What the user has been told by unattended work, so that each thing is told once.
class ToldOnce {
  public:
    // A setting went through, or options were confirmed: the next refusal or guarded step is
    // worth telling again.
    void Renew() { refusal_ = guard_ = false; }

    // Whether a setting may prompt for a password: once an unattended refusal has been told,
    // later unattended settings do not stop to ask each period either.
    AskUser Approval(Refusal refusal) const;
    // The box for a refused setting, or nothing when it has been told already.
    std::optional<std::string> Refused(Refusal refusal, const std::string& reason);
    // Whether a step left for a click is told now: the first since the last renewal.
    bool TellGuard();

    // A query got no time: the notification, when unattended ones have failed often enough in a
    // row and the user has not heard of them yet; `status` says why the last one failed.
    std::optional<Notification> NoTime(bool unattended, const SyncStatus& status);
    // A time came: the failures are counted from nothing again.
    void TimeCame() {
        unattendedFailures_ = 0;
        failuresWarned_ = false;
    }

  private:
    bool refusal_ = false;
    bool guard_ = false;
    int unattendedFailures_ = 0;
    bool failuresWarned_ = false;
};

// Whether a step of `offsetSeconds` may go ahead: within the limit always; beyond it, after a
// click only when the user agrees, unattended only on an authenticated answer (anyone on the path
// can forge a plain one), the refusal told once.
struct StepPermission {
    enum class Verdict { Step, Ask, LeaveAlone };
    Verdict verdict = Verdict::Step;
    // Ask: the question; LeaveAlone: the box, empty when told already.
    std::string text;

    friend bool operator==(const StepPermission&, const StepPermission&) = default;
};
StepPermission PermitStep(double offsetSeconds, std::int32_t limitSeconds, bool unattended,
                          bool authenticated, ToldOnce& told);

// The machine's own NTP service keeps the clock and nothing was set: after a click, the question
// whether to turn it off; unattended, nothing (the service is left to it without a word).
std::optional<std::string> TimeServiceQuestion(bool unattended);

}  // namespace velmora
