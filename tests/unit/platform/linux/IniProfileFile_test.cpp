#include "platform/linux/IniProfileFile.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/Error.h"
#include "sync/Settings.h"
#include "tests/fixtures/FakeTimeView.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Files of this process may not grow beyond `bytes` while it lives: a write that would is refused.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

  private:
    rlimit old_{};
};

class SettingsOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("velmora-ini-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        name_ = (dir_ / kSettingsFileName).string();
    }
    void TearDown() override { fs::remove_all(dir_); }
    void Put(const std::string& content) { std::ofstream(name_, std::ios::binary) << content; }
    std::string Content() const {
        std::ifstream in(name_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    std::string ExpectWriteFails(IniProfileFile& file) {
        try {
            file.WriteString("Data", "UpdateClock", "1");
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    }
    fs::path dir_;
    std::string name_;
};

TEST_F(SettingsOnDisk, NoFileGivesDefaultsAndShutDownWritesEveryKeyInOneReplace) {
    IniProfileFile file(name_);
    TSettings settings;
    std::vector<std::string> servers;
    FakeTimeView view;
    LoadSettings(settings, servers, file, view);
    EXPECT_EQ(servers, (std::vector<std::string>{kDefaultServer1, kDefaultServer2}));
    EXPECT_FALSE(fs::exists(name_));
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, dir_.c_str(), IN_MOVED_TO), 0);
    SaveSettings(settings, file);
    alignas(inotify_event) char events[4096];
    const ssize_t size = read(watch, events, sizeof events);
    close(watch);
    // One file renamed into place, once.
    ASSERT_GT(size, 0);
    EXPECT_EQ(static_cast<std::size_t>(size),
              sizeof(inotify_event) + reinterpret_cast<inotify_event*>(events)->len);
    EXPECT_EQ(Content(),
              "[Data]\nGlobalAutorun=0\nGlobalMinimize=0\nGlobalNextSrvOnFail=0\n"
              "GlobalTimeSrvList=time-a-g.nist.gov|time-b-g.nist.gov\nUpdateClock=0\n"
              "UpdateClockInterval=30\nUpdateClockHour=1\nDisplayLocalTime=1\n"
              "StepLimitSeconds=3600\n");
    EXPECT_EQ(Names(), std::vector<std::string>{kSettingsFileName});
}

TEST_F(SettingsOnDisk, ValuesReadBackAsWrittenAndAsTheRulesSay) {
    Put("[Data]\nGlobalTimeSrvList=\nUpdateClock=yes\nGlobalAutorun=2\n"
        "UpdateClockInterval=0x3E8\n");
    IniProfileFile file(name_);
    TSettings settings;
    std::vector<std::string> servers{"old"};
    FakeTimeView view;
    LoadSettings(settings, servers, file, view);
    EXPECT_TRUE(servers.empty());
    EXPECT_FALSE(settings.UpdateClock);
    EXPECT_TRUE(settings.GlobalAutorun);
    EXPECT_EQ(settings.UpdateClockInterval, 1000);
    SaveSettings(settings, file);
    EXPECT_EQ(file.ReadString("Data", "GlobalTimeSrvList", "missing"), "");
    EXPECT_EQ(file.ReadString("Data", "GlobalAutorun", ""), "1");
    EXPECT_EQ(file.ReadString("Data", "UpdateClockInterval", ""), "1000");
}

TEST_F(SettingsOnDisk, NamesIgnoreCaseAndValuesAreTrimmedAndCut) {
    const std::string list(3000, 'a');
    Put("[ data ]\r\n  GLOBALTIMESRVLIST =  " + list + " \t\r\nEmpty=\r\n");
    IniProfileFile file(name_);
    EXPECT_EQ(file.ReadString("Data", "GlobalTimeSrvList", ""), list.substr(0, 2047));
    EXPECT_EQ(file.ReadString("DATA", "empty", "fallback"), "");
    EXPECT_EQ(file.ReadString("Data", "Missing", "fallback"), "fallback");
    EXPECT_EQ(file.ReadString("Other", "Empty", "fallback"), "fallback");
}

TEST_F(SettingsOnDisk, OtherSectionsAndLinesAreLeftAlone) {
    const std::string before =
        "; kept comment\n[Other]\nUpdateClock=7\n\n[DATA]\nupdateclock = 0\nnot a key line\n"
        "GlobalAutorun=1\n\n[Tail]\nx=y\n";
    Put(before);
    IniProfileFile file(name_);
    file.WriteString("Data", "UpdateClock", "1");
    file.WriteString("Data", "DisplayLocalTime", "0");
    file.WriteString("New", "Key", "v");
    EXPECT_EQ(Content(),
              "; kept comment\n[Other]\nUpdateClock=7\n\n[DATA]\nUpdateClock=1\nnot a key line\n"
              "GlobalAutorun=1\nDisplayLocalTime=0\n\n[Tail]\nx=y\n\n[New]\nKey=v\n");
    EXPECT_EQ(file.ReadString("Other", "UpdateClock", ""), "7");
}

TEST_F(SettingsOnDisk, AValueCannotStartLinesOfItsOwn) {
    IniProfileFile file(name_);
    file.WriteString("Data", "GlobalTimeSrvList", "a|b\n[Data]\nGlobalAutorun=1");
    EXPECT_EQ(Content(), "[Data]\nGlobalTimeSrvList=a|b\n");
    // A carriage return ends a value read as it ends one written, so saving what was read
    // changes nothing.
    Put("[Data]\nGlobalTimeSrvList=a|b\rc\n");
    EXPECT_EQ(file.ReadString("Data", "GlobalTimeSrvList", ""), "a|b");
}

TEST_F(SettingsOnDisk, WindowsLineEndsStayWindowsLineEnds) {
    Put("[Data]\r\nA=1\r\n");
    IniProfileFile file(name_);
    file.WriteString("Data", "B", "2");
    file.WriteString("Data", "A", "3");
    EXPECT_EQ(Content(), "[Data]\r\nA=3\r\nB=2\r\n");
}

TEST_F(SettingsOnDisk, AFileThatIsNotTextIsSurvived) {
    std::string junk;
    for (int i = 0; i < 5000; ++i) {
        junk += static_cast<char>((i * 7919) % 256);
    }
    junk += "\n[Data]\nUpdateClock=1\n";
    junk += std::string(3, '\0');
    Put(junk);
    IniProfileFile file(name_);
    EXPECT_EQ(file.ReadString("Data", "UpdateClock", "x"), "1");
    EXPECT_EQ(file.ReadString("Data", "GlobalAutorun", "x"), "x");
    file.WriteString("Data", "GlobalAutorun", "0");
    EXPECT_EQ(Content().substr(0, 5000), junk.substr(0, 5000));
    EXPECT_EQ(file.ReadString("Data", "GlobalAutorun", "x"), "0");
}

TEST_F(SettingsOnDisk, PermissionsAndLinksAreKept) {
    Put("[Data]\nA=1\n");
    ASSERT_EQ(chmod(name_.c_str(), 0640), 0);
    IniProfileFile(name_).WriteString("Data", "A", "2");
    struct stat st {};
    ASSERT_EQ(stat(name_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    const std::string link = (dir_ / "link.cfg").string();
    fs::create_symlink(name_, link);
    IniProfileFile(link).WriteString("Data", "A", "3");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Content(), "[Data]\nA=3\n");
}

TEST_F(SettingsOnDisk, AFailedWriteLeavesTheOldFileWholeAndNoTemporary) {
    const std::string old = "[Data]\nUpdateClock=0\nGlobalAutorun=1\n";
    Put(old);
    IniProfileFile file(name_);
    {
        const FileSizeLimit limit(16);  // the new file cannot be written whole
        EXPECT_EQ(ExpectWriteFails(file), "Unable to write to " + name_);
    }
    {
        // Room for the first keys of a save, not for all of them: none is written.
        const FileSizeLimit limit(old.size() + 60);
        EXPECT_THROW(SaveSettings(TSettings{}, file), Error);
    }
    EXPECT_EQ(Content(), old);
    EXPECT_EQ(Names(), std::vector<std::string>{kSettingsFileName});
}

// Saves one of the two settings after the other until killed; a failed save ends the process.
[[noreturn]] void SaveUntilKilled(const std::string& name, const TSettings& a, const TSettings& b) {
    try {
        IniProfileFile file(name);
        for (unsigned i = 0;; ++i) {
            SaveSettings(i % 2 == 0 ? a : b, file);
        }
    } catch (...) {
    }
    _exit(1);
}

TEST_F(SettingsOnDisk, SavesKilledAtAnyMomentLeaveTheFileWholeAndTheNextSaveNoTemporary) {
    Put("; kept\n[Other]\nx=1\n\n[Data]\nUpdateClock=1\n");
    TSettings first;
    TSettings second;
    second.GlobalTimeSrvList = std::string(2000, 'a');
    second.UpdateClockInterval = 7;
    IniProfileFile file(name_);
    SaveSettings(second, file);
    const std::string secondText = Content();
    SaveSettings(first, file);
    const std::string firstText = Content();
    ASSERT_EQ(firstText.rfind("; kept\n[Other]\nx=1\n\n[Data]\nUpdateClock=0\n", 0), 0u);

    std::mt19937 random(17);
    std::uniform_int_distribution<useconds_t> delay(0, 5000);
    int temporariesLeft = 0;
    for (int round = 0; round < 100; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            SaveUntilKilled(name_, first, second);
        }
        usleep(delay(random));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saver failed";
        const std::string text = Content();
        ASSERT_TRUE(text == firstText || text == secondText) << "round " << round << ":\n" << text;
        temporariesLeft += static_cast<int>(Names().size()) - 1;
        SaveSettings(first, file);
        ASSERT_EQ(Names(), std::vector<std::string>{kSettingsFileName}) << "round " << round;
    }
    RecordProperty("TemporariesLeftByKilledSaves", temporariesLeft);
}

TEST_F(SettingsOnDisk, TwoCopiesSavingAtOnceEachReplaceTheWholeFile) {
    Put("[Data]\n");
    std::vector<pid_t> children;
    for (const char* key : {"First", "Second"}) {
        const pid_t child = fork();
        if (child == 0) {
            IniProfileFile own(name_);
            for (int i = 0; i < 200; ++i) {
                own.WriteString("Data", key, std::to_string(i));
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    // Each save is whole: the file is one of the saved versions, and no temporary is left.
    const std::string text = Content();
    EXPECT_EQ(text.rfind("[Data]\n", 0), 0u) << text;
    EXPECT_NE(text.find("=199\n"), std::string::npos) << text;
    EXPECT_EQ(Names(), std::vector<std::string>{kSettingsFileName});
}

TEST_F(SettingsOnDisk, UntilTheFileExistsTheDefaultsFileIsReadAndCopied) {
    const std::string defaults = (dir_ / "admin.cfg").string();
    std::ofstream(defaults)
        << "; set by the administrator\n[Data]\nUpdateClock=1\nGlobalAutorun=1\n";
    const std::string own = (dir_ / "user" / "velmora" / kSettingsFileName).string();
    IniProfileFile file(own, defaults);
    EXPECT_EQ(file.ReadString("Data", "UpdateClock", "0"), "1");
    file.WriteString("Data", "UpdateClock", "0");
    // The user's folder is made, private; the defaults stay as they were.
    struct stat st {};
    ASSERT_EQ(stat((dir_ / "user" / "velmora").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::ifstream in(own);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "; set by the administrator\n[Data]\nUpdateClock=0\nGlobalAutorun=1\n");
    EXPECT_EQ(file.ReadString("Data", "GlobalAutorun", "0"), "1");
    std::ofstream(defaults) << "[Data]\nGlobalAutorun=0\n";
    EXPECT_EQ(file.ReadString("Data", "GlobalAutorun", "0"), "1");
}

TEST_F(SettingsOnDisk, FailsWhereNoFileCanBe) {
    Put("not a directory");
    IniProfileFile underAFile(name_ + "/KXdefault.cfg");
    EXPECT_EQ(underAFile.ReadString("Data", "UpdateClock", "fallback"), "fallback");
    EXPECT_EQ(ExpectWriteFails(underAFile), "Unable to write to " + name_ + "/KXdefault.cfg");

    // A directory in place of the file: neither read as empty nor replaced.
    const std::string asDirectory = (dir_ / "dir.cfg").string();
    fs::create_directories(asDirectory + "/inside");
    IniProfileFile directory(asDirectory);
    EXPECT_EQ(directory.ReadString("Data", "UpdateClock", "fallback"), "fallback");
    EXPECT_EQ(ExpectWriteFails(directory), "Unable to write to " + asDirectory);
    EXPECT_TRUE(fs::is_directory(asDirectory + "/inside"));
}

TEST_F(SettingsOnDisk, AnUnwritableDirectoryRefusesTheWrite) {
    if (geteuid() == 0) {
        // Root writes anywhere; a read-only file system is what refuses it.
        IniProfileFile file("/proc/velmora-" + std::to_string(getpid()) + ".cfg");
        EXPECT_EQ(ExpectWriteFails(file), "Unable to write to " + file.FileName());
        return;
    }
    Put("[Data]\n");
    ASSERT_EQ(chmod(name_.c_str(), 0444), 0);
    IniProfileFile file(name_);
    EXPECT_EQ(ExpectWriteFails(file), "Unable to write to " + name_);
    ASSERT_EQ(chmod(name_.c_str(), 0644), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
    EXPECT_EQ(ExpectWriteFails(file), "Unable to write to " + name_);
    chmod(dir_.c_str(), 0755);
    EXPECT_EQ(Content(), "[Data]\n");
}

}  // namespace
}  // namespace velmora
