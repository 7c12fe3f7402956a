#include "platform/HistoryLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace velmora {
namespace {

constexpr std::string_view kAnswer = "answer";
constexpr std::string_view kStep = "step";
constexpr std::string_view kOtherStep = "otherstep";

bool Fits(double value) {
    return std::isfinite(value) && std::abs(value) <= kLargestHistoryNumber;
}

// Entries are host names; a tab or line break in one would split its line.
std::string OneField(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

// Numbers are written and read in one form whatever the user's locale: a decimal comma would
// make every line unreadable.
void AppendNumber(std::string& line, double value, int decimals) {
    char digits[64];
    const auto [end, error] =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    line += '\t';
    line.append(digits, error == std::errc() ? end : digits);
}

bool ParseNumber(std::string_view field, double& value) {
    const char* last = field.data() + field.size();
    const auto [end, error] = std::from_chars(field.data(), last, value);
    return error == std::errc() && end == last && std::isfinite(value);
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t tab; (tab = line.find('\t')) != std::string_view::npos;) {
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    return fields;
}

std::string_view KindWord(HistoryRecord::Kind kind) {
    switch (kind) {
        case HistoryRecord::Kind::Step:
            return kStep;
        case HistoryRecord::Kind::OtherStep:
            return kOtherStep;
        case HistoryRecord::Kind::Answer:
            break;
    }
    return kAnswer;
}

}  // namespace

bool Writable(const HistoryRecord& record) {
    return Fits(record.unixSeconds) && Fits(record.offsetSeconds) && Fits(record.delaySeconds);
}

std::string HistoryLine(const HistoryRecord& record) {
    std::string line(KindWord(record.kind));
    AppendNumber(line, record.unixSeconds, 3);
    AppendNumber(line, record.offsetSeconds, 6);
    AppendNumber(line, record.delaySeconds, 6);
    if (!record.IsStep()) {
        line += record.authenticated ? "\tnts\t" : "\tplain\t";
        line += OneField(record.entry);
    }
    return line;
}

bool ParseHistoryLine(const std::string& line, HistoryRecord& record) {
    const std::vector<std::string_view> fields = SplitTabs(line);
    HistoryRecord parsed;
    if (fields[0] == kStep && fields.size() == 4) {
        parsed.kind = HistoryRecord::Kind::Step;
    } else if (fields[0] == kOtherStep && fields.size() == 4) {
        parsed.kind = HistoryRecord::Kind::OtherStep;
    } else if (fields[0] == kAnswer && fields.size() == 6 &&
               (fields[4] == "nts" || fields[4] == "plain")) {
        parsed.authenticated = fields[4] == "nts";
        parsed.entry = fields[5];
    } else {
        return false;
    }
    if (!ParseNumber(fields[1], parsed.unixSeconds) ||
        !ParseNumber(fields[2], parsed.offsetSeconds) ||
        !ParseNumber(fields[3], parsed.delaySeconds)) {
        return false;
    }
    record = parsed;
    return true;
}

std::vector<std::string> WholeHistoryLines(const std::string& content) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = content.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(content.substr(start, end - start));
    }
    return lines;
}

std::vector<HistoryRecord> ParseHistory(const std::string& content) {
    std::vector<HistoryRecord> records;
    for (const std::string& line : WholeHistoryLines(content)) {
        HistoryRecord record;
        if (ParseHistoryLine(line, record)) {
            records.push_back(record);
        }
    }
    return records;
}

std::string TrimmedHistory(const std::vector<std::string>& lines, std::size_t keepLines,
                           const std::string& line) {
    const std::size_t keep = std::max<std::size_t>(keepLines, 1) - 1;
    std::string kept;
    for (std::size_t i = lines.size() > keep ? lines.size() - keep : 0; i < lines.size(); ++i) {
        kept += lines[i] + "\n";
    }
    return kept + line + "\n";
}

}  // namespace velmora
