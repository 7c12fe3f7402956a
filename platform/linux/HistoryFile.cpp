#include "platform/linux/HistoryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/Path.h"
#include "platform/linux/AtomicFile.h"
#include "platform/linux/SettingsLocation.h"
#include "platform/linux/WriteAll.h"

namespace velmora {
namespace {

constexpr std::string_view kAnswer = "answer";
constexpr std::string_view kStep = "step";
// Far longer than any record: the end of the file searched for the last whole line.
constexpr off_t kTailBytes = 4096;

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

// An open descriptor of a regular file, or -1 (a pipe or a device in its place would block the
// window's thread).
int OpenRegular(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat st {};
    if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

std::string ReadAll(const std::string& path) {
    std::string content;
    const int fd = OpenRegular(path, O_RDONLY);
    if (fd < 0) {
        return content;
    }
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return content;
}

// Cuts away a line left unfinished by a program killed while writing it, so that the file holds
// whole lines only and the next one starts on its own. False when the system refuses.
bool DropUnfinishedLine(int fd) {
    const off_t size = lseek(fd, 0, SEEK_END);
    if (size <= 0) {
        return size == 0;
    }
    const off_t from = std::max<off_t>(0, size - kTailBytes);
    std::string tail(static_cast<std::size_t>(size - from), '\0');
    if (pread(fd, tail.data(), tail.size(), from) != static_cast<ssize_t>(tail.size())) {
        return false;
    }
    const std::size_t lineEnd = tail.rfind('\n');
    if (lineEnd == tail.size() - 1) {
        return true;
    }
    if (lineEnd == std::string::npos && from > 0) {
        // Not a line of ours: it stays, and ours starts after it.
        return WriteAll(fd, "\n");
    }
    const off_t keep = lineEnd == std::string::npos ? 0 : from + static_cast<off_t>(lineEnd) + 1;
    return ftruncate(fd, keep) == 0;
}

// Another copy of the program (on another display) may be appending too: its line must not be
// taken for an unfinished one. A copy that holds the lock too long is not waited for.
void LockForAppending(int fd) {
    for (int tries = 0; flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK && tries < 50;
         ++tries) {
        usleep(1000);
    }
}

bool AppendLine(const std::string& path, const std::string& line) {
    const int fd = OpenRegular(path, O_RDWR | O_APPEND | O_CREAT);
    if (fd < 0) {
        return false;
    }
    LockForAppending(fd);
    // One write for the whole line: a kill cuts at most this line.
    bool written = DropUnfinishedLine(fd) && WriteAll(fd, line + "\n");
    const int error = errno;
    written = close(fd) == 0 && written;
    errno = written ? 0 : error;
    return written;
}

}  // namespace

std::string HistoryLine(const HistoryRecord& record) {
    const bool step = record.kind == HistoryRecord::Kind::Step;
    std::string line(step ? kStep : kAnswer);
    AppendNumber(line, record.unixSeconds, 3);
    AppendNumber(line, record.offsetSeconds, 6);
    AppendNumber(line, record.delaySeconds, 6);
    if (!step) {
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

std::string UserHistoryFile() {
    const std::string state = UserStateDirectory();
    return state.empty() ? "" : state + "/velmora/history";
}

HistoryFile::HistoryFile(std::string path, std::size_t maxLines, std::size_t keepLines)
    : path_(std::move(path)), maxLines_(maxLines), keepLines_(std::min(keepLines, maxLines)) {}

std::vector<std::string> HistoryFile::Lines() const {
    std::vector<std::string> lines;
    const std::string content = ReadAll(path_);
    // A line left unfinished by a program killed while writing it is not one.
    for (std::size_t start = 0, end; (end = content.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(content.substr(start, end - start));
    }
    return lines;
}

std::vector<HistoryRecord> HistoryFile::Load() const {
    std::vector<HistoryRecord> records;
    for (const std::string& line : Lines()) {
        HistoryRecord record;
        // A line of another kind or version is passed over.
        if (ParseHistoryLine(line, record)) {
            records.push_back(record);
        }
    }
    return records;
}

void HistoryFile::Append(const HistoryRecord& record) {
    if (path_.empty()) {
        Failed("no home folder is known");
        return;
    }
    if (!MakeDirectories(DirectoryOf(path_), kPrivateFolderMode)) {
        Failed(std::strerror(errno));
        return;
    }
    if (!counted_) {
        // Left by a copy of the program killed while it trimmed the file.
        RemoveStaleTemporaries(path_);
        lines_ = Lines().size();
        counted_ = true;
    }
    // Room is made first, so that a program killed at any moment leaves no more than the bound.
    if (lines_ >= maxLines_) {
        Trim();
    }
    if (!AppendLine(path_, HistoryLine(record))) {
        Failed(std::strerror(errno));
        return;
    }
    ++lines_;
}

void HistoryFile::Trim() {
    const std::vector<std::string> lines = Lines();
    std::string kept;
    // The record about to come is one of those kept.
    const std::size_t keep = std::max<std::size_t>(keepLines_, 1) - 1;
    for (std::size_t i = lines.size() > keep ? lines.size() - keep : 0; i < lines.size(); ++i) {
        kept += lines[i] + "\n";
    }
    if (ReplaceFileAtomically(path_, kept, 0600)) {
        lines_ = std::min(lines.size(), keep);
        return;
    }
    Failed("the oldest records cannot be dropped");
    // Tried again only after as many records more, not on every one.
    lines_ = keep;
}

void HistoryFile::Failed(const std::string& why) {
    if (failureTold_) {
        return;
    }
    failureTold_ = true;
    const std::string where = path_.empty() ? "" : " in " + path_;
    std::fprintf(stderr, "velmora: cannot keep the history%s: %s\n", where.c_str(), why.c_str());
}

}  // namespace velmora
