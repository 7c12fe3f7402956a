#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/Error.h"
#include "core/Path.h"
#include "platform/TemporaryName.h"
#include "platform/windows/AtomicFile.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPath.h"
#include "platform/windows/WindowsProfileFile.h"
#include "platform/windows/WindowsProgramPath.h"
#include "platform/windows/WindowsSettingsLocation.h"
#include "sync/Settings.h"
#include "tests/fixtures/FakeTimeView.h"

namespace velmora {
namespace {

TEST(WindowsText, NamesOutsideTheAnsiCodePageSurviveEveryBoundary) {
    for (const std::string name : {"J\xC3\xBCrgen", "\xC5\x81ukasz", "\xF0\x9F\x95\x92", "plain"}) {
        EXPECT_EQ(Narrow(Widen(name)), name);
    }
    EXPECT_EQ(Widen("\xC5\x81ukasz"), L"\u0141ukasz");
    EXPECT_EQ(Widen("bad\xFF"), L"bad\uFFFD");
    EXPECT_EQ(Narrow(static_cast<const wchar_t*>(nullptr)), "");
}

TEST(WindowsText, PathsJoinWithOneBackslashAndTheUsersFileIsInAppData) {
    EXPECT_EQ(JoinWindowsPath("C:\\", "KXdefault.cfg"), "C:\\KXdefault.cfg");
    EXPECT_EQ(JoinWindowsPath("D:\\Tools", "KXdefault.cfg"), "D:\\Tools\\KXdefault.cfg");
    EXPECT_EQ(JoinWindowsPath("D:/Tools/", "KXdefault.cfg"), "D:/Tools/KXdefault.cfg");
    EXPECT_EQ(AppDataSettingsFile("C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming"),
              "C:\\Users\\J\xC3\xBCrgen\\AppData\\Roaming\\Velmora\\KXdefault.cfg");
    EXPECT_EQ(AppDataSettingsFile(""), "");
    EXPECT_EQ(FileNameOf(WindowsProgramPath().ExecutablePath()), "unit_platform_windows.exe");
}

// A folder of the test's own under the user's temporary folder, named for a user whose name the
// ANSI code page cannot hold.
class WindowsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = JoinWindowsPath(
            Narrow(temp), "\xC5\x81ukasz J\xC3\xBCrgen " + std::to_string(GetCurrentProcessId()));
        ASSERT_TRUE(MakeFolders(dir_));
        name_ = JoinWindowsPath(dir_, "KXdefault.cfg");
    }
    void TearDown() override {
        for (const std::string& name : Names()) {
            const std::wstring path = Widen(JoinWindowsPath(dir_, name));
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(Widen(dir_).c_str());
    }
    void Put(const std::string& content) { ASSERT_TRUE(ReplaceFileAtomically(name_, content)); }
    std::string Content() const {
        bool missing = false;
        return ReadWholeFile(name_, missing).value_or("(unreadable)");
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(Widen(JoinWindowsPath(dir_, "*")).c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more;
             more = FindNextFileW(search, &found)) {
            const std::string name = Narrow(found.cFileName);
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        FindClose(search);
        return names;
    }
    std::string WriteFails(WindowsProfileFile& file) {
        try {
            file.WriteString("Data", "UpdateClock", "1");
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }
    std::string dir_;
    std::string name_;
};

TEST_F(WindowsFiles, WritesWindowsLineEndsAndReadsFilesWithUnixOnes) {
    WindowsProfileFile file(name_);
    EXPECT_EQ(file.ReadString("Data", "UpdateClock", "none"), "none");
    file.WriteStrings("Data", {{"GlobalTimeSrvList",
                                "zeit.\xC5\x81"
                                "ukasz.example|b"},
                               {"UpdateClock", "1"}});
    EXPECT_EQ(Content(),
              "[Data]\r\nGlobalTimeSrvList=zeit.\xC5\x81ukasz.example|b\r\n"
              "UpdateClock=1\r\n");
    EXPECT_EQ(file.ReadString("data", "globaltimesrvlist", ""), "zeit.\xC5\x81ukasz.example|b");

    Put("; kept\n[Data]\nUpdateClock=0\nDisplayLocalTime = 0 \n");
    EXPECT_EQ(file.ReadString("Data", "DisplayLocalTime", ""), "0");
    file.WriteString("Data", "UpdateClock", "1");
    EXPECT_EQ(Content(), "; kept\r\n[Data]\r\nUpdateClock=1\r\nDisplayLocalTime = 0 \r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"KXdefault.cfg"});
}

// The program's own settings over this file: the table's eight keys and more, every save whole.
TEST_F(WindowsFiles, TheSettingsTableIsReadAndSavedInOneReplaceWithWindowsLineEnds) {
    WindowsProfileFile file(name_);
    TSettings settings;
    std::vector<std::string> servers;
    FakeTimeView view;
    LoadSettings(settings, servers, file, view);
    EXPECT_EQ(servers, (std::vector<std::string>{kDefaultServer1, kDefaultServer2}));
    SaveSettings(settings, file);
    const std::string saved = Content();
    EXPECT_EQ(saved.rfind("[Data]\r\nGlobalAutorun=0\r\nGlobalMinimize=0\r\n", 0), 0u) << saved;
    EXPECT_NE(saved.find("\r\nGlobalTimeSrvList=time-a-g.nist.gov|time-b-g.nist.gov\r\n"),
              std::string::npos);
    EXPECT_EQ(saved.find('\n', saved.size() - 1), saved.size() - 1);
    EXPECT_EQ(saved.find("\n\n"), std::string::npos);

    // An LF file as another program left it: read by the same rules, saved with CRLF.
    Put("[Data]\nUpdateClock=2\nUpdateClockInterval=0x3E8\nGlobalTimeSrvList=\n");
    LoadSettings(settings, servers, file, view);
    EXPECT_TRUE(settings.UpdateClock);
    EXPECT_EQ(settings.UpdateClockInterval, 1000);
    EXPECT_TRUE(servers.empty());
    SaveSettings(settings, file);
    EXPECT_NE(Content().find("[Data]\r\nUpdateClock=1\r\nUpdateClockInterval=1000\r\n"
                             "GlobalTimeSrvList=\r\n"),
              std::string::npos)
        << Content();
    EXPECT_EQ(Names(), std::vector<std::string>{"KXdefault.cfg"});
}

TEST_F(WindowsFiles, ARefusedWriteSaysSoAndLeavesTheOldFileWhole) {
    Put("[Data]\r\nUpdateClock=0\r\n");
    const std::wstring wide = Widen(name_);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    WindowsProfileFile file(name_);
    EXPECT_EQ(WriteFails(file), "Unable to write to " + name_);
    EXPECT_FALSE(CanReplaceIn(name_));
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(CanReplaceIn(name_));
    EXPECT_EQ(Content(), "[Data]\r\nUpdateClock=0\r\n");

    // A folder in the file's place, and a file in the folder's.
    const std::string folder = JoinWindowsPath(dir_, "folder.cfg");
    ASSERT_TRUE(MakeFolders(folder));
    WindowsProfileFile asFolder(folder);
    EXPECT_EQ(asFolder.ReadString("Data", "UpdateClock", "fallback"), "fallback");
    EXPECT_EQ(WriteFails(asFolder), "Unable to write to " + folder);
    RemoveDirectoryW(Widen(folder).c_str());
    WindowsProfileFile underFile(JoinWindowsPath(name_, "KXdefault.cfg"));
    EXPECT_EQ(WriteFails(underFile),
              "Unable to write to " + JoinWindowsPath(name_, "KXdefault.cfg"));
    EXPECT_EQ(Names(), std::vector<std::string>{"KXdefault.cfg"});
}

// Windows renames over no file that another process has open, however it shares it.
TEST_F(WindowsFiles, AReaderSharingTheFileDelaysTheSaveOneNotSharingItFailsIt) {
    Put("[Data]\r\nUpdateClock=0\r\n");
    const auto hold = [&](DWORD share) {
        return CreateFileW(Widen(name_).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE reader = hold(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread closer([reader] {
        Sleep(200);
        CloseHandle(reader);
    });
    WindowsProfileFile file(name_);
    file.WriteString("Data", "UpdateClock", "1");
    closer.join();
    EXPECT_EQ(Content(), "[Data]\r\nUpdateClock=1\r\n");

    const HANDLE locked = hold(FILE_SHARE_READ);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WriteFails(file), "Unable to write to " + name_);
    CloseHandle(locked);
    EXPECT_EQ(Content(), "[Data]\r\nUpdateClock=1\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"KXdefault.cfg"});
}

TEST_F(WindowsFiles, TheUsersFileIsMadeInAppDataStartingFromTheOneBesideTheProgram) {
    Put("; the administrator's\r\n[Data]\r\nUpdateClock=1\r\n");
    const std::string appData = JoinWindowsPath(dir_, "AppData\\Roaming");
    ASSERT_TRUE(SetEnvironmentVariableW(L"APPDATA", Widen(appData).c_str()));
    EXPECT_EQ(UserAppDataDirectory(), appData);
    const std::string own = AppDataSettingsFile(UserAppDataDirectory());
    WindowsProfileFile file(own, name_);
    EXPECT_EQ(file.ReadString("Data", "UpdateClock", "0"), "1");
    file.WriteString("Data", "GlobalAutorun", "1");
    bool missing = false;
    EXPECT_EQ(ReadWholeFile(own, missing),
              "; the administrator's\r\n[Data]\r\nUpdateClock=1\r\nGlobalAutorun=1\r\n");
    EXPECT_EQ(Content(), "; the administrator's\r\n[Data]\r\nUpdateClock=1\r\n");
    DeleteFileW(Widen(own).c_str());
    RemoveDirectoryW(Widen(DirectoryOf(own)).c_str());
    RemoveDirectoryW(Widen(appData).c_str());
    RemoveDirectoryW(Widen(DirectoryOf(appData)).c_str());

    // A relative %APPDATA% is none: the shell's own folder stands in. The same for this
    // machine's own folder.
    SetEnvironmentVariableW(L"APPDATA", L"relative");
    EXPECT_EQ(UserAppDataDirectory().substr(1, 2), ":\\");
    ASSERT_TRUE(SetEnvironmentVariableW(L"LOCALAPPDATA", Widen(appData).c_str()));
    EXPECT_EQ(UserLocalAppDataDirectory(), appData);
    SetEnvironmentVariableW(L"LOCALAPPDATA", L"relative");
    EXPECT_EQ(UserLocalAppDataDirectory().substr(1, 2), ":\\");
}

TEST_F(WindowsFiles, SettingsStayBesideTheProgramWhereTheyCanBeWritten) {
    const std::string user = "C:\\Users\\u\\AppData\\Roaming\\Velmora\\KXdefault.cfg";
    EXPECT_EQ(LocateSettingsFile(name_, user).file, name_);
    Put("[Data]\r\n");
    SetFileAttributesW(Widen(name_).c_str(), FILE_ATTRIBUTE_READONLY);
    const SettingsLocation readOnly = LocateSettingsFile(name_, user);
    EXPECT_EQ(readOnly.file, user);
    EXPECT_EQ(readOnly.defaults, name_);
    const std::string nowhere = "C:\\nonexistent-velmora\\KXdefault.cfg";
    EXPECT_EQ(LocateSettingsFile(nowhere, user).file, user);
    EXPECT_EQ(LocateSettingsFile(nowhere, "").file, nowhere);
    // The probe leaves nothing behind.
    EXPECT_EQ(Names(), std::vector<std::string>{"KXdefault.cfg"});
}

TEST_F(WindowsFiles, TemporariesOfKilledSavesGoWithTheNextSaveAndLiveOnesStay) {
    const std::string dead = JoinWindowsPath(dir_, TemporaryName("KXdefault.cfg", 999999990, 1, 2));
    const std::string live =
        JoinWindowsPath(dir_, TemporaryName("KXdefault.cfg", GetCurrentProcessId(), 1, 2));
    const std::string foreign = JoinWindowsPath(dir_, ".KXdefault.cfg.notes.tmp");
    for (const std::string& name : {dead, live, foreign}) {
        ASSERT_TRUE(ReplaceFileAtomically(name, "x"));
    }
    WindowsProfileFile(name_).WriteString("Data", "A", "1");
    std::vector<std::string> names = Names();
    std::vector<std::string> expected = {FileNameOf(foreign), FileNameOf(live), "KXdefault.cfg"};
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

// The saver started, left to save for a moment, and ended by TerminateProcess as a crash or the
// task manager would; the file must be one of the two versions, whole.
TEST_F(WindowsFiles, SavesKilledAtAnyMomentLeaveTheFileWhole) {
    const std::string first(3000, 'a');
    const std::string second = "b|" + std::string(20, 'c');
    const std::string saver = JoinWindowsPath(DirectoryOf(WindowsProgramPath().ExecutablePath()),
                                              "velmora_test_saver.exe");
    const std::string before = "; kept\r\n[Data]\r\nUpdateClock=0\r\n";
    const auto version = [](const std::string& list) {
        return "; kept\r\n[Data]\r\nUpdateClock=1\r\nGlobalTimeSrvList=" + list + "\r\n";
    };
    std::mt19937 random(23);
    std::uniform_int_distribution<DWORD> delay(0, 60);
    int killedWhileSaving = 0;
    for (int round = 0; round < 15; ++round) {
        Put(before);
        std::wstring command = L"\"" + Widen(saver) + L"\" \"" + Widen(name_) + L"\" " +
                               Widen(first) + L" " + Widen(second);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process))
            << "round " << round << ": error " << GetLastError();
        // Once it has saved, a little longer.
        for (int wait = 0; wait < 500 && Content() == before; ++wait) {
            Sleep(10);
        }
        Sleep(delay(random));
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        ASSERT_EQ(code, 9u) << "the saver failed";
        const std::string text = Content();
        ASSERT_TRUE(text == version(first) || text == version(second)) << "round " << round << ":\n"
                                                                       << text;
        killedWhileSaving += Names().size() > 1 ? 1 : 0;
        // The next save removes what the killed one left.
        WindowsProfileFile(name_).WriteString("Data", "UpdateClock", "0");
        ASSERT_EQ(Names().size(), 1u) << "round " << round;
    }
    RecordProperty("KilledWhileSaving", killedWhileSaving);
}

}  // namespace
}  // namespace velmora
