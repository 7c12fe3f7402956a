#include "platform/HistoryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/Path.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsLocation.h"
#include "platform/WriteAll.h"

namespace velmora {
namespace {

constexpr const char* kAnswer = "answer";
constexpr const char* kStep = "step";

// Entries are host names; a tab or line break in one would split its line.
std::string OneField(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

// Whether the file ends with a whole line (or is empty or missing).
bool EndsWithLineEnd(int fd) {
    const off_t size = lseek(fd, 0, SEEK_END);
    char last = '\n';
    return size <= 0 || (pread(fd, &last, 1, size - 1) == 1 && last == '\n');
}

}  // namespace

std::string HistoryLine(const HistoryRecord& record) {
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, "%.3f\t%.6f\t%.6f", record.unixSeconds,
                  record.offsetSeconds, record.delaySeconds);
    if (record.kind == HistoryRecord::Kind::Step) {
        return std::string(kStep) + "\t" + numbers;
    }
    return std::string(kAnswer) + "\t" + numbers + "\t" + (record.authenticated ? "nts" : "plain") +
           "\t" + OneField(record.entry);
}

bool ParseHistoryLine(const std::string& line, HistoryRecord& record) {
    std::istringstream fields(line);
    std::string kind;
    HistoryRecord parsed;
    if (!std::getline(fields, kind, '\t') || !(fields >> parsed.unixSeconds) ||
        !(fields >> parsed.offsetSeconds) || !(fields >> parsed.delaySeconds)) {
        return false;
    }
    if (kind == kStep) {
        parsed.kind = HistoryRecord::Kind::Step;
        record = parsed;
        return fields.peek() == std::char_traits<char>::eof();
    }
    std::string trust;
    if (kind != kAnswer || fields.get() != '\t' || !std::getline(fields, trust, '\t') ||
        (trust != "nts" && trust != "plain")) {
        return false;
    }
    parsed.authenticated = trust == "nts";
    std::getline(fields, parsed.entry);
    record = parsed;
    return true;
}

std::string UserHistoryFile() {
    const std::string state = UserStateDirectory();
    return state.empty() ? "" : state + "/velmora/history";
}

HistoryFile::HistoryFile(std::string path, std::size_t maxLines, std::size_t keepLines)
    : path_(std::move(path)), maxLines_(maxLines), keepLines_(keepLines) {}

std::vector<std::string> HistoryFile::Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(path_);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<HistoryRecord> HistoryFile::Load() const {
    std::vector<HistoryRecord> records;
    for (const std::string& line : Lines()) {
        HistoryRecord record;
        // A line cut short by a program killed while writing it is passed over.
        if (ParseHistoryLine(line, record)) {
            records.push_back(record);
        }
    }
    return records;
}

void HistoryFile::Append(const HistoryRecord& record) {
    if (path_.empty() || !MakeDirectories(DirectoryOf(path_), kPrivateFolderMode)) {
        return;
    }
    if (!counted_) {
        lines_ = Lines().size();
        counted_ = true;
    }
    const int fd = open(path_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    // One write for the whole line: a kill cuts at most this line. A line cut before keeps its
    // own, so that this one starts whole.
    const bool written =
        fd >= 0 && WriteAll(fd, (EndsWithLineEnd(fd) ? "" : "\n") + HistoryLine(record) + "\n");
    if (fd >= 0) {
        close(fd);
    }
    if (!written) {
        if (!failureTold_) {
            std::fprintf(stderr, "velmora: cannot keep the history in %s\n", path_.c_str());
            failureTold_ = true;
        }
        return;
    }
    if (++lines_ > maxLines_) {
        Trim();
    }
}

void HistoryFile::Trim() {
    const std::vector<std::string> lines = Lines();
    std::string kept;
    for (std::size_t i = lines.size() > keepLines_ ? lines.size() - keepLines_ : 0;
         i < lines.size(); ++i) {
        kept += lines[i] + "\n";
    }
    if (ReplaceFileAtomically(path_, kept, 0600)) {
        lines_ = std::min(lines.size(), keepLines_);
    }
}

}  // namespace velmora
