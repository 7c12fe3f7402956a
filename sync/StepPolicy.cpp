#include "sync/StepPolicy.h"

#include <cmath>

#include "sync/ClockStep.h"

namespace velmora {

StepChoice ChooseStep(const RunningCommand& command, std::optional<double> offsetToServer) {
    // An answer held from an earlier command, carried forward, would undo whatever the user or
    // another program did to the clock since.
    if (command.Synchronizing && !command.Answer) {
        return {std::nullopt, SyncStatus::LeftAlone::NoAnswer, 0};
    }
    // No server has answered: the clock would be set to its own reading, which changes nothing,
    // so nobody is asked for a password to do it.
    if (!offsetToServer) {
        return {};
    }
    const double within = command.Synchronizing ? AnswerUncertainty(command.Answer->delaySeconds)
                                                : kSmallestStepSeconds;
    if (std::fabs(*offsetToServer) < within) {
        return {std::nullopt, SyncStatus::LeftAlone::Agrees, within};
    }
    return {offsetToServer, SyncStatus::LeftAlone::No, 0};
}

AskUser ToldOnce::Approval(Refusal refusal) const {
    return refusal == Refusal::TellAlways || !refusal_ ? AskUser::Yes : AskUser::No;
}

std::optional<std::string> ToldOnce::Refused(Refusal refusal, const std::string& reason) {
    if (refusal == Refusal::TellOnce && refusal_) {
        return std::nullopt;
    }
    refusal_ = true;
    return RefusalText(reason);
}

bool ToldOnce::TellGuard() {
    const bool tell = !guard_;
    guard_ = true;
    return tell;
}

std::optional<Notification> ToldOnce::NoTime(bool unattended, const SyncStatus& status) {
    // A click's failure is in front of the user already.
    if (!unattended) {
        return std::nullopt;
    }
    if (++unattendedFailures_ < kFailuresBeforeWarning || failuresWarned_) {
        return std::nullopt;
    }
    failuresWarned_ = true;
    return NoTimeNotification(unattendedFailures_, status);
}

StepPermission PermitStep(double offsetSeconds, std::int32_t limitSeconds, bool unattended,
                          bool authenticated, ToldOnce& told) {
    if (WithinStepLimit(offsetSeconds, limitSeconds) || (unattended && authenticated)) {
        return {};
    }
    if (!unattended) {
        return {StepPermission::Verdict::Ask, LargeStepQuestion(offsetSeconds, limitSeconds)};
    }
    return {StepPermission::Verdict::LeaveAlone,
            told.TellGuard() ? LeftForAClickText(offsetSeconds, limitSeconds) : std::string()};
}

std::optional<std::string> TimeServiceQuestion(bool unattended) {
    if (unattended) {
        return std::nullopt;
    }
    return kTurnOffTimeService;
}

}  // namespace velmora
