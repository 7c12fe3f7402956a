// velmora.exe itself under Wine: the elevated copy's private command comes before everything
// else, the one-copy rule included; a second start hands over to the first and ends; the first
// saves its settings beside it when its window is closed.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/windows/AtomicFile.h"
#include "platform/windows/ElevatedClock.h"
#include "platform/windows/OneCopy.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPath.h"
#include "tests/fixtures/windows/WindowTest.h"

namespace velmora {
namespace {

constexpr DWORD kEndsWithinMs = 20000;

// The build's program as Wine names it, on the drive that is the Linux file system.
std::wstring BuiltProgram() {
    std::wstring path = L"Z:" + Widen(VELMORA_EXE);
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return path;
}

class Entry : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ =
            JoinWindowsPath(Narrow(temp), "velmora entry " + std::to_string(GetCurrentProcessId()));
        ASSERT_TRUE(MakeFolders(dir_));
        program_ = Widen(JoinWindowsPath(dir_, "velmora.exe"));
        ASSERT_TRUE(CopyFileW(BuiltProgram().c_str(), program_.c_str(), FALSE));
    }
    void TearDown() override {
        DeleteFileW(program_.c_str());
        DeleteFileW(Widen(Settings()).c_str());
        RemoveDirectoryW(Widen(dir_).c_str());
    }

    // Starts the program with `arguments`; its process handle.
    HANDLE Start(const std::wstring& arguments) {
        std::wstring line = L"\"" + program_ + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(CreateProcessW(program_.c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, Widen(dir_).c_str(), &startup, &process));
        CloseHandle(process.hThread);
        return process.hProcess;
    }
    // The exit code once it has ended by itself; -1 when it is still running.
    static long long EndOf(HANDLE process) {
        DWORD code = 0;
        const bool ended = WaitForSingleObject(process, kEndsWithinMs) == WAIT_OBJECT_0 &&
                           GetExitCodeProcess(process, &code);
        if (!ended) {
            TerminateProcess(process, 1);
        }
        CloseHandle(process);
        return ended ? static_cast<long long>(code) : -1;
    }
    std::string Settings() const { return JoinWindowsPath(dir_, "KXdefault.cfg"); }

    std::string dir_;
    std::wstring program_;
};

TEST_F(Entry, ThePrivateCommandComesFirstAndOnlyTheRightOneIsTaken) {
    // Under Wine no Windows Time service runs: nothing to stop, and done.
    EXPECT_EQ(EndOf(Start(Widen(StopTimeServiceArguments()))), kPrivateCommandDone);
    bool missing = false;
    EXPECT_FALSE(ReadWholeFile(Settings(), missing)) << "the private command made settings";
}

TEST_F(Entry, ASecondStartHandsOverButThePrivateCommandStillRuns) {
    const HANDLE first = Start(L"");
    ASSERT_TRUE(test::PumpUntil(
        [] {
            return FindWindowExW(HWND_MESSAGE, nullptr, kOneCopyClass, nullptr) != nullptr &&
                   FindWindowW(L"TTimeForm", L"Velmora") != nullptr;
        },
        kEndsWithinMs))
        << "the first copy did not come up";
    const HWND form = FindWindowW(L"TTimeForm", L"Velmora");
    ShowWindow(form, SW_HIDE);
    EXPECT_EQ(EndOf(Start(Widen(StopTimeServiceArguments()))), kPrivateCommandDone);
    // Anything else on the command line is no argument at all: a second start, which ends.
    EXPECT_EQ(EndOf(Start(L"/VelmoraStopTimeService:extra")), 0);
    EXPECT_TRUE(test::PumpUntil([form] { return IsWindowVisible(form) != FALSE; }))
        << "the second start did not bring the first copy's window back";
    // The first copy saves beside it when its window is closed.
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(EndOf(first), 0);
    bool missing = false;
    EXPECT_NE(ReadWholeFile(Settings(), missing).value_or("").find("[Data]"), std::string::npos);
}

// What Explorer shows of the file: its name and version, from the project's.
TEST_F(Entry, TheProgramSaysWhatItIs) {
    const DWORD size = GetFileVersionInfoSizeW(program_.c_str(), nullptr);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program_.c_str(), 0, size, info.data()));
    wchar_t* name = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, L"Velmora");
    wchar_t* version = nullptr;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040904B0\\FileVersion",
                               reinterpret_cast<void**>(&version), &length));
    EXPECT_EQ(Narrow(version), VELMORA_VERSION);
}

}  // namespace
}  // namespace velmora
