#include "platform/linux/HistoryFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/Path.h"
#include "platform/linux/AtomicFile.h"
#include "platform/linux/SettingsLocation.h"
#include "platform/linux/WriteAll.h"

namespace velmora {
namespace {

// Far longer than any record: the end of the file searched for the last whole line.
constexpr off_t kTailBytes = 4096;
// How long another copy of the program may hold the file before this record is given up, in
// milliseconds: it holds it for one line or one trim, and the window's thread waits meanwhile.
constexpr int kLockWaitMs = 500;

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

std::string ReadFrom(int fd) {
    std::string content;
    char buffer[65536];
    for (ssize_t n;
         (n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(content.size()))) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    return content;
}

std::string ReadAll(const std::string& path) {
    const int fd = OpenRegular(path, O_RDONLY);
    if (fd < 0) {
        return "";
    }
    std::string content = ReadFrom(fd);
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

// Another copy of the program (on another display) may be appending or trimming too. False when
// it holds the lock too long; a file system without locks is written unlocked.
bool Lock(int fd) {
    for (int waited = 0; flock(fd, LOCK_EX | LOCK_NB) != 0; ++waited) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return true;
        }
        if (waited == kLockWaitMs) {
            errno = EWOULDBLOCK;
            return false;
        }
        usleep(1000);
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The history opened for appending and locked; the file its name leads to once locked, since a
// copy that trimmed it while this one waited put a new file in its place. -1 when it cannot be
// had, errno telling why.
int OpenLocked(const std::string& path) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = OpenRegular(path, O_RDWR | O_APPEND | O_CREAT);
        if (fd < 0) {
            return -1;
        }
        struct stat open {};
        struct stat named {};
        if (!Lock(fd)) {
            close(fd);
            errno = EWOULDBLOCK;
            return -1;
        }
        if (fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && SameFile(open, named)) {
            return fd;
        }
        close(fd);
    }
    errno = EBUSY;
    return -1;
}

std::size_t CountLines(const std::string& content) {
    return static_cast<std::size_t>(std::count(content.begin(), content.end(), '\n'));
}

}  // namespace

std::string UserHistoryFile() {
    const std::string state = UserStateDirectory();
    return state.empty() ? "" : state + "/velmora/history";
}

HistoryFile::HistoryFile(std::string path, std::size_t maxLines, std::size_t keepLines)
    : path_(std::move(path)), maxLines_(maxLines), keepLines_(std::min(keepLines, maxLines)) {}

std::vector<HistoryRecord> HistoryFile::Load() const {
    return ParseHistory(ReadAll(path_));
}

void HistoryFile::Append(const HistoryRecord& record) {
    if (!Writable(record)) {
        Failed("a record with a number out of range");
        return;
    }
    if (path_.empty()) {
        Failed("no home folder is known");
        return;
    }
    if (!MakeDirectories(DirectoryOf(path_), kPrivateFolderMode)) {
        Failed(std::strerror(errno));
        return;
    }
    if (!cleaned_) {
        // Left by a copy of the program killed while it trimmed the file.
        RemoveStaleTemporaries(path_);
        cleaned_ = true;
    }
    const int fd = OpenLocked(path_);
    if (fd < 0) {
        Failed(std::strerror(errno));
        return;
    }
    const bool written = AppendLocked(fd, HistoryLine(record));
    const int error = errno;
    // Closing lets the other copies have the file.
    if (close(fd) != 0 || !written) {
        Failed(std::strerror(written ? errno : error));
    }
}

bool HistoryFile::AppendLocked(int fd, const std::string& line) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        return false;
    }
    // Counted again whenever another copy has written since this one did.
    if (!known_ || !SameFile(st, knownFile_) || st.st_size != knownFile_.st_size) {
        lines_ = CountLines(ReadFrom(fd));
    }
    // Room is made with the record, so that a program killed at any moment leaves no more than
    // the bound.
    if (lines_ >= maxLines_ && Trim(fd, line)) {
        return true;
    }
    // One write for the whole line: a kill cuts at most this line.
    known_ = DropUnfinishedLine(fd) && WriteAll(fd, line + "\n") && fstat(fd, &knownFile_) == 0;
    ++lines_;
    return known_;
}

bool HistoryFile::Trim(int fd, const std::string& line) {
    const std::vector<std::string> lines = WholeHistoryLines(ReadFrom(fd));
    // The newest lines stay, with the record among them; the file is replaced whole while the
    // other copies wait for the lock.
    const std::size_t keep = std::max<std::size_t>(keepLines_, 1) - 1;
    const std::string kept = TrimmedHistory(lines, keepLines_, line);
    known_ = false;
    if (!ReplaceFileAtomically(path_, kept, 0600)) {
        // The record is still kept, and the trim tried again only after as many records more.
        Failed("the oldest records cannot be dropped");
        lines_ = keep;
        return false;
    }
    // What this copy wrote; a copy that appended to the new file since is counted next time.
    if (stat(path_.c_str(), &knownFile_) == 0) {
        knownFile_.st_size = static_cast<off_t>(kept.size());
        known_ = true;
    }
    lines_ = std::min(lines.size(), keep) + 1;
    return true;
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
