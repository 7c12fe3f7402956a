#include "platform/windows/AtomicFile.h"
#include "core/Path.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "platform/TemporaryName.h"
#include "platform/windows/OwnedHandle.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPath.h"

namespace velmora {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
// A rename refused while another process has the target open is tried again, for up to a second.
constexpr int kMoveAttempts = 40;
constexpr DWORD kMoveRetryMilliseconds = 25;

bool WriteAll(HANDLE file, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

// A temporary beside the target that no other process or call picks: the process id, a
// count and the clock make it unique, and CREATE_NEW makes sure.
HANDLE CreateTemporary(const std::string& target, std::wstring& name) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = DirectoryOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name =
            Widen(JoinWindowsPath(folder, TemporaryName(FileNameOf(target), GetCurrentProcessId(),
                                                        counter++, GetTickCount64())));
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool ProcessRuns(std::uint64_t pid) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        // Another user's process may not be opened; only a missing one says so.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool Abandoned(const WIN32_FIND_DATAW& found) {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t written = Ticks(found.ftLastWriteTime);
    return Ticks(now) > written &&
           Ticks(now) - written >=
               static_cast<std::uint64_t>(kAbandonedAfterSeconds) * kTicksPerSecond;
}

// One rename: a kill leaves the old file or the new one. Windows refuses to rename over a file
// that another process has open, even one that shares it for deleting (a reader, another copy of
// the program, a virus scanner): such a refusal is tried again for a while.
bool MoveOver(const std::wstring& temp, const std::wstring& target) {
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
            attempt == kMoveAttempts) {
            return false;
        }
        Sleep(kMoveRetryMilliseconds);
    }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& target, const std::string& content) {
    // A file its owner made read-only stays so (Windows refuses the rename too; not every file
    // system that Windows or Wine writes to does).
    const DWORD attributes = GetFileAttributesW(Widen(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    RemoveStaleTemporaries(target);
    std::wstring temp;
    FileHandle file(CreateTemporary(target, temp));
    if (!file.Valid()) {
        return false;
    }
    bool ok = WriteAll(file.get(), content) && FlushFileBuffers(file.get());
    ok = CloseHandle(file.Release()) && ok;
    ok = ok && MoveOver(temp, Widen(target));
    if (!ok) {
        DeleteFileW(temp.c_str());
    }
    return ok;
}

void RemoveStaleTemporaries(const std::string& target) {
    const std::string folder = DirectoryOf(target);
    const std::string targetName = FileNameOf(target);
    const std::wstring pattern = Widen(JoinWindowsPath(folder, TemporaryPrefix(targetName) + "*"));
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::optional<std::uint64_t> writer =
            TemporaryWriter(Narrow(found.cFileName), targetName);
        if (!writer || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            continue;
        }
        // A writer still at work holds its temporary open, unshared: deleting it fails.
        if (Abandoned(found) || !ProcessRuns(*writer)) {
            DeleteFileW(Widen(JoinWindowsPath(folder, Narrow(found.cFileName))).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::optional<std::string> ReadWholeFile(const std::string& name, bool& missing) {
    missing = false;
    FileHandle file(CreateFileW(Widen(name).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        const DWORD error = GetLastError();
        missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            return content;
        }
        content.append(buffer, read);
    }
}

bool MakeFolders(const std::string& folder) {
    const std::wstring wide = Widen(folder);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    const std::string parent = DirectoryOf(folder);
    if (parent != folder && parent != "." && !MakeFolders(parent)) {
        return false;
    }
    CreateDirectoryW(wide.c_str(), nullptr);
    attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CanReplaceIn(const std::string& file) {
    const std::wstring wide = Widen(file);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    std::wstring probe;
    FileHandle temporary(CreateTemporary(file, probe));
    if (!temporary.Valid()) {
        return false;
    }
    CloseHandle(temporary.Release());
    DeleteFileW(probe.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    // The file itself: its ACL may refuse this user though the folder lets them in.
    const FileHandle existing(CreateFileW(wide.c_str(), GENERIC_WRITE | DELETE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return existing.Valid();
}

}  // namespace velmora
