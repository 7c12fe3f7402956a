#include "platform/windows/WindowsHistoryFile.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "core/Path.h"
#include "platform/HistoryLine.h"
#include "platform/windows/AtomicFile.h"
#include "platform/windows/OwnedHandle.h"
#include "platform/windows/SystemMessage.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPath.h"
#include "platform/windows/WindowsSettingsLocation.h"

namespace velmora {
namespace {

// How long another copy may hold the file before this record is given up, in milliseconds: it
// holds it for one line, and the window's thread waits meanwhile.
constexpr int kLockWaitMs = 500;

std::optional<std::string> ReadOpen(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || SetFilePointer(file, 0, nullptr, FILE_BEGIN) != 0) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!content.empty() &&
        (!ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) ||
         read != content.size())) {
        return std::nullopt;
    }
    return content;
}

bool WriteAt(HANDLE file, std::int64_t offset, const std::string& text) {
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    DWORD written = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
           WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

bool CutAt(HANDLE file, std::int64_t offset) {
    LARGE_INTEGER at{};
    at.QuadPart = offset;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Another copy of the program may be appending too. False when it holds the lock too long.
bool Lock(HANDLE file) {
    OVERLAPPED whole{};
    for (int waited = 0; !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                                     MAXDWORD, MAXDWORD, &whole);
         ++waited) {
        if (waited == kLockWaitMs) {
            return false;
        }
        Sleep(1);
    }
    return true;
}

}  // namespace

std::string UserHistoryFile() {
    const std::string folder = UserLocalAppDataDirectory();
    return folder.empty() ? "" : JoinWindowsPath(JoinWindowsPath(folder, "Velmora"), "history");
}

WindowsHistoryFile::WindowsHistoryFile(std::string path, std::size_t maxLines,
                                       std::size_t keepLines)
    : path_(std::move(path)), maxLines_(maxLines), keepLines_(std::min(keepLines, maxLines)) {}

std::vector<HistoryRecord> WindowsHistoryFile::Load() const {
    bool missing = false;
    return ParseHistory(ReadWholeFile(path_, missing).value_or(""));
}

void WindowsHistoryFile::Append(const HistoryRecord& record) {
    if (!Writable(record)) {
        Failed("a record with a number out of range");
        return;
    }
    if (path_.empty() || !MakeFolders(DirectoryOf(path_))) {
        Failed(path_.empty() ? "no application data folder is known"
                             : SystemMessage(GetLastError()));
        return;
    }
    if (!std::exchange(cleaned_, true)) {
        // Left by a copy of the program killed while it trimmed the file.
        RemoveStaleTemporaries(path_);
    }
    std::string content;
    const std::string line = HistoryLine(record);
    std::string why = AppendLocked(line, content);
    if (why.empty() && lines_ >= maxLines_) {
        // Once the file is closed: Windows renames nothing over a file that is open.
        why = Trim(content, line);
    }
    if (!why.empty()) {
        Failed(why);
    }
}

std::string WindowsHistoryFile::AppendLocked(const std::string& line, std::string& content) {
    const FileHandle file(CreateFileW(Widen(path_).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        return SystemMessage(GetLastError());
    }
    if (!Lock(file.get())) {
        return "another copy of Velmora holds the file";
    }
    std::optional<std::string> read = ReadOpen(file.get());
    if (!read) {
        return SystemMessage(GetLastError());
    }
    content = std::move(*read);
    // Counted again whenever another copy has written since this one did.
    if (static_cast<std::int64_t>(content.size()) != knownSize_) {
        lines_ = WholeHistoryLines(content).size();
    }
    if (lines_ >= maxLines_) {
        return "";
    }
    // A line left unfinished by a killed copy is cut away, so that ours starts on its own.
    const std::size_t lineEnd = content.rfind('\n');
    const auto keep = static_cast<std::int64_t>(lineEnd == std::string::npos ? 0 : lineEnd + 1);
    knownSize_ = -1;
    if ((keep != static_cast<std::int64_t>(content.size()) && !CutAt(file.get(), keep)) ||
        !WriteAt(file.get(), keep, line + "\n")) {
        return SystemMessage(GetLastError());
    }
    ++lines_;
    knownSize_ = keep + static_cast<std::int64_t>(line.size()) + 1;
    return "";
}

std::string WindowsHistoryFile::Trim(const std::string& content, const std::string& line) {
    const std::vector<std::string> lines = WholeHistoryLines(content);
    const std::string kept = TrimmedHistory(lines, keepLines_, line);
    const std::size_t keep = std::max<std::size_t>(keepLines_, 1) - 1;
    knownSize_ = -1;
    if (!ReplaceFileAtomically(path_, kept)) {
        // The record is lost, and the trim tried again with the next one.
        return "the oldest records cannot be dropped";
    }
    lines_ = std::min(lines.size(), keep) + 1;
    knownSize_ = static_cast<std::int64_t>(kept.size());
    return "";
}

void WindowsHistoryFile::Failed(const std::string& why) {
    if (std::exchange(failureTold_, true)) {
        return;
    }
    const std::string where = path_.empty() ? "" : " in " + path_;
    std::fprintf(stderr, "velmora: cannot keep the history%s: %s\n", where.c_str(), why.c_str());
}

}  // namespace velmora
