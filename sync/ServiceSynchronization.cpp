#include "sync/ServiceSynchronization.h"

#include <algorithm>

namespace velmora {

std::optional<ServiceReport> AskServiceToSynchronize(ClockService& service) {
    const std::optional<std::string> reply =
        service.Exchange(RequestText(ServiceRequest::SynchronizeNow));
    return reply ? ParseReport(*reply) : std::nullopt;
}

bool ServiceSettles(const std::optional<ServiceReport>& report, bool unattended) {
    if (!report) {
        return false;
    }
    return unattended ||
           (!report->timeServiceOn && report->settingsProblem.empty() && !report->stepGuarded);
}

ServiceNews NewsSince(const SyncStatus& before, const ServiceReport& report) {
    const SyncStatus& now = report.status;
    ServiceNews news;
    if (now.stepped && (!before.stepped || now.steppedAt != before.steppedAt)) {
        news.stepSeconds = now.stepSeconds;
    }
    if (now.answer && (!before.answer || now.answeredAt != before.answeredAt)) {
        news.serverAheadSeconds = now.answer->offsetSeconds - news.stepSeconds.value_or(0);
        news.authenticated = now.answer->authenticated;
    } else {
        // A refused request, or settings that cannot be read, asked nobody.
        news.noTime = report.refusal.empty() && report.settingsProblem.empty();
    }
    return news;
}

std::vector<std::string> ServiceLines(const ServiceReport& report) {
    std::vector<std::string> lines;
    if (!report.refusal.empty()) {
        lines.push_back("The clock service: " + report.refusal);
    }
    if (!report.settingsProblem.empty()) {
        lines.push_back("The clock service: " + report.settingsProblem);
    }
    if (report.timeServiceOn) {
        lines.push_back("The clock service left the clock to the system's own time service");
    }
    if (report.stepGuarded) {
        lines.push_back("The computer clock was left alone: " + report.stepRefusal);
    } else if (!report.stepRefusal.empty()) {
        lines.push_back("Unable to set the computer clock: " + report.stepRefusal + " (a step of " +
                        SignedDuration(report.refusedStepSeconds) + ")");
    }
    return lines;
}

std::vector<HistoryRecord> ServiceHistory::Take(const std::vector<HistoryRecord>& reported,
                                                const HistoryStore& kept) {
    std::vector<HistoryRecord> taken;
    std::vector<HistoryRecord> earlier;
    if (!takenUpTo_ && !reported.empty()) {
        earlier = kept.Load();
    }
    for (const HistoryRecord& record : reported) {
        const bool new_ = takenUpTo_
                              ? record.unixSeconds > *takenUpTo_
                              : std::find(earlier.begin(), earlier.end(), record) == earlier.end();
        if (new_) {
            taken.push_back(record);
        }
    }
    for (const HistoryRecord& record : reported) {
        takenUpTo_ = std::max(takenUpTo_.value_or(record.unixSeconds), record.unixSeconds);
    }
    return taken;
}

}  // namespace velmora
