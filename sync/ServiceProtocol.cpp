#include "sync/ServiceProtocol.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <utility>

#include "platform/HistoryLine.h"

namespace velmora {
namespace {

constexpr const char* kSynchronizeNow = "synchronize now";
constexpr const char* kTellState = "tell me your state";
// A history line keeps its own tab-separated fields after this.
constexpr std::string_view kHistoryPrefix = "history\t";

// A text as one field: no tab or line end may split the line.
std::string Field(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

std::string Number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string_view::npos;
         start = tab + 1) {
        fields.emplace_back(line.substr(start, tab - start));
    }
    fields.emplace_back(line.substr(start));
    return fields;
}

bool ReadNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool ReadInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool ReadFlag(const std::string& text, bool& value) {
    if (text != "0" && text != "1") {
        return false;
    }
    value = text == "1";
    return true;
}

// An attempt's fields: entry, answered, authenticated, offset, delay, failure, kiss code, detail.
constexpr std::size_t kAttemptFields = 8;

std::string AttemptFields(const QueryAttempt& a) {
    return Field(a.entry) + '\t' + (a.answered ? "1" : "0") + '\t' + (a.authenticated ? "1" : "0") +
           '\t' + Number(a.offsetSeconds) + '\t' + Number(a.delaySeconds) + '\t' +
           std::to_string(static_cast<int>(a.failure)) + '\t' + Field(a.kissCode) + '\t' +
           Field(a.detail);
}

bool ReadAttempt(const std::vector<std::string>& f, QueryAttempt& a) {
    int failure = 0;
    if (f.size() != 1 + kAttemptFields || !ReadFlag(f[2], a.answered) ||
        !ReadFlag(f[3], a.authenticated) || !ReadNumber(f[4], a.offsetSeconds) ||
        !ReadNumber(f[5], a.delaySeconds) || !ReadInt(f[6], failure) || failure < 0 ||
        failure > static_cast<int>(QueryFailure::NotAvailable)) {
        return false;
    }
    a.entry = f[1];
    a.failure = static_cast<QueryFailure>(failure);
    a.kissCode = f[7];
    a.detail = f[8];
    return true;
}

// One line of the report into `report`; false when a line of a known kind is not what it must be.
bool ReadLine(const std::vector<std::string>& f, ServiceReport& report) {
    const std::string& kind = f[0];
    SyncStatus& status = report.status;
    if (kind == "refusal" || kind == "settings") {
        if (f.size() != 2) {
            return false;
        }
        (kind == "refusal" ? report.refusal : report.settingsProblem) = f[1];
        return true;
    }
    if (kind == "guarded") {
        report.stepGuarded = true;
        return f.size() == 1;
    }
    if (kind == "step-refused") {
        report.stepRefusal = f.size() == 3 ? f[1] : "";
        return f.size() == 3 && ReadNumber(f[2], report.refusedStepSeconds);
    }
    if (kind == "answer" || kind == "failure") {
        QueryAttempt attempt;
        if (!ReadAttempt(f, attempt)) {
            return false;
        }
        if (kind == "answer") {
            status.answer = attempt;
        } else {
            status.failures.push_back(attempt);
        }
        return true;
    }
    if (kind == "times") {
        int leftAlone = -1;
        const bool read =
            f.size() == 10 && ReadNumber(f[1], status.answeredAt) &&
            ReadFlag(f[2], status.stepped) && ReadNumber(f[3], status.steppedAt) &&
            ReadNumber(f[4], status.stepSeconds) && ReadInt(f[5], leftAlone) &&
            ReadNumber(f[6], status.leftAloneAt) && ReadNumber(f[7], status.agreesWithinSeconds) &&
            ReadInt(f[8], status.replyTimeoutSeconds) && ReadFlag(f[9], report.timeServiceOn);
        if (!read || leftAlone < 0 || leftAlone > static_cast<int>(SyncStatus::LeftAlone::Agrees)) {
            return false;
        }
        status.leftAlone = static_cast<SyncStatus::LeftAlone>(leftAlone);
        return true;
    }
    return true;
}

}  // namespace

std::string RequestText(ServiceRequest request) {
    return request == ServiceRequest::SynchronizeNow ? kSynchronizeNow : kTellState;
}

ParsedRequest ParseRequest(std::string_view bytes) {
    if (bytes.size() > kLongestServiceRequest) {
        return {std::nullopt, OversizedRefusal()};
    }
    if (bytes == kSynchronizeNow) {
        return {ServiceRequest::SynchronizeNow, ""};
    }
    if (bytes == kTellState) {
        return {ServiceRequest::TellState, ""};
    }
    return {std::nullopt,
            "Refused: the service takes only the requests \"synchronize now\" and "
            "\"tell me your state\", and nothing with them"};
}

std::string OversizedRefusal() {
    return "Refused: a request is at most " + std::to_string(kLongestServiceRequest) + " bytes";
}

std::string ReportText(const ServiceReport& report) {
    const SyncStatus& status = report.status;
    std::ostringstream out;
    if (!report.refusal.empty()) {
        out << "refusal\t" << Field(report.refusal) << '\n';
    }
    if (!report.settingsProblem.empty()) {
        out << "settings\t" << Field(report.settingsProblem) << '\n';
    }
    if (!report.stepRefusal.empty()) {
        out << "step-refused\t" << Field(report.stepRefusal) << '\t'
            << Number(report.refusedStepSeconds) << '\n';
    }
    if (report.stepGuarded) {
        out << "guarded\n";
    }
    out << "times\t" << Number(status.answeredAt) << '\t' << (status.stepped ? 1 : 0) << '\t'
        << Number(status.steppedAt) << '\t' << Number(status.stepSeconds) << '\t'
        << static_cast<int>(status.leftAlone) << '\t' << Number(status.leftAloneAt) << '\t'
        << Number(status.agreesWithinSeconds) << '\t' << status.replyTimeoutSeconds << '\t'
        << (report.timeServiceOn ? 1 : 0) << '\n';
    if (status.answer) {
        out << "answer\t" << AttemptFields(*status.answer) << '\n';
    }
    for (const QueryAttempt& failure : status.failures) {
        out << "failure\t" << AttemptFields(failure) << '\n';
    }
    const std::size_t skip =
        report.history.size() > kReportedHistory ? report.history.size() - kReportedHistory : 0;
    for (std::size_t i = skip; i < report.history.size(); ++i) {
        if (Writable(report.history[i])) {
            out << kHistoryPrefix << HistoryLine(report.history[i]) << '\n';
        }
    }
    return out.str();
}

std::optional<ServiceReport> ParseReport(std::string_view text) {
    if (text.size() > kLongestServiceReport || text.empty() || text.back() != '\n') {
        return std::nullopt;
    }
    ServiceReport report;
    bool timesSeen = false;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.starts_with(kHistoryPrefix)) {
            HistoryRecord record;
            if (!ParseHistoryLine(std::string(line.substr(kHistoryPrefix.size())), record)) {
                return std::nullopt;
            }
            report.history.push_back(std::move(record));
            continue;
        }
        const std::vector<std::string> fields = Split(line);
        if (!ReadLine(fields, report)) {
            return std::nullopt;
        }
        timesSeen = timesSeen || fields[0] == "times";
    }
    if (!timesSeen) {
        return std::nullopt;
    }
    return report;
}

}  // namespace velmora
