#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "platform/XdgAutostartStore.h"
#include "platform/XdgAutostartStores.h"
#include "sync/Autorun.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "velmora-autostart.XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ExecLine(const std::string& entry) {
    std::istringstream lines(entry);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Exec=", 0) == 0) {
            return line.substr(5);
        }
    }
    return "";
}

std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// Reads an Exec value the way a session does: string escapes first, then the quoting into
// arguments, then the "%%" field code.
std::string Unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        char c = value[++i];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c == 's' ? ' ' : c;
    }
    return out;
}

std::vector<std::string> ExecArguments(const std::string& value) {
    std::string text = Unescape(value);
    std::vector<std::string> args;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        std::string arg;
        if (text[i] == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) {
                    ++i;
                }
                arg += text[i];
            }
            ++i;
        } else {
            for (; i < text.size() && text[i] != ' '; ++i) {
                arg += text[i];
            }
        }
        std::string literal;
        for (std::size_t k = 0; k < arg.size(); ++k) {
            literal += arg[k];
            if (arg[k] == '%' && k + 1 < arg.size() && arg[k + 1] == '%') {
                ++k;
            }
        }
        args.push_back(literal);
    }
    return args;
}

TEST(XdgAutostartStore, RegisteringCreatesTheDirectoryAndOneValidEntry) {
    TempDir temp;
    fs::path dir = temp.path() / "etc" / "xdg" / "autostart";
    XdgAutostartStore store(dir.string());

    SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);

    fs::path file = dir / "Velmora.desktop";
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"Velmora.desktop"});
    std::string entry = ReadFile(file);
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    for (const char* line :
         {"\nType=Application\n", "\nName=Velmora\n", "\nExec=/opt/velmora/velmora\n",
          "\nX-GNOME-Autostart-enabled=true\n"}) {
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    }
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(XdgAutostartStore, RegisteringTwiceOverwritesAndLeavesOtherEntriesAlone) {
    TempDir temp;
    XdgAutostartStore store(temp.path().string());
    std::ofstream(temp.path() / "other.desktop") << "[Desktop Entry]\nExec=other\n";

    SetAutorun(store, "Velmora", "/old/velmora", false);
    SetAutorun(store, "Velmora", "/new/velmora", false);

    auto names = Entries(temp.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Velmora.desktop", "other.desktop"}));
    EXPECT_EQ(ExecLine(ReadFile(temp.path() / "Velmora.desktop")), "/new/velmora");
    EXPECT_EQ(ReadFile(temp.path() / "other.desktop"), "[Desktop Entry]\nExec=other\n");
}

TEST(XdgAutostartStore, RemovingDeletesTheEntryAndAMissingOneOrStoreIsSilent) {
    TempDir temp;
    XdgAutostartStore store(temp.path().string());
    SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);

    EXPECT_NO_THROW(SetAutorun(store, "Velmora", "/opt/velmora/velmora", true));
    EXPECT_NO_THROW(SetAutorun(store, "Velmora", "/opt/velmora/velmora", true));
    EXPECT_TRUE(Entries(temp.path()).empty());

    XdgAutostartStore missing((temp.path() / "absent").string());
    EXPECT_NO_THROW(SetAutorun(missing, "Velmora", "/opt/velmora/velmora", true));
    EXPECT_FALSE(fs::exists(temp.path() / "absent"));
}

TEST(XdgAutostartStore, StoreThatCannotBeCreatedRaisesFailedToCreateKey) {
    TempDir temp;
    std::ofstream(temp.path() / "file") << "x";
    std::string dir = (temp.path() / "file" / "autostart").string();
    XdgAutostartStore store(dir);

    try {
        SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Failed to create key " + dir);
    }
}

TEST(XdgAutostartStore, EntryThatCannotBeReplacedRaisesAndLeavesNoTemporaryFile) {
    TempDir temp;
    fs::create_directory(temp.path() / "Velmora.desktop");
    XdgAutostartStore store(temp.path().string());

    try {
        SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Failed to set data for 'Velmora'");
    }
    EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"Velmora.desktop"});
}

TEST(XdgAutostartStore, NamesThatLeaveTheDirectoryAreRefused) {
    TempDir temp;
    fs::create_directory(temp.path() / "store");
    XdgAutostartStore store((temp.path() / "store").string());

    for (const char* name : {"", ".", "..", "../escape", "a/b"}) {
        EXPECT_FALSE(store.SetValue(name, "/bin/true")) << name;
    }
    EXPECT_FALSE(fs::exists(temp.path() / "escape.desktop"));
}

// Runs `action` in a child process as an ordinary user (nobody, when the test runs as root) and
// returns what it returned.
std::string AsUser(const std::function<std::string()>& action) {
    int fds[2];
    if (pipe(fds) != 0) {
        return "no pipe";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                               setresuid(65534, 65534, 65534) != 0)) {
            _exit(1);
        }
        std::string result;
        try {
            result = action();
        } catch (const Error& error) {
            result = error.what();
        }
        (void)!write(fds[1], result.data(), result.size());
        _exit(0);
    }
    close(fds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return result;
}

// A machine-wide directory only root may write, holding `entries`, and a home the user owns.
struct Desktop {
    explicit Desktop(const TempDir& temp)
        : machine(temp.path() / "etc" / "autostart"), user(temp.path() / "home" / "autostart") {
        fs::create_directories(machine);
        fs::create_directories(user.parent_path());
        chmod(temp.path().c_str(), 0755);
        if (geteuid() == 0) {
            (void)!chown(user.parent_path().c_str(), 65534, 65534);
        } else {
            chmod(machine.c_str(), 0555);
        }
    }
    XdgAutostartStores Stores() const { return {machine.string(), user.string()}; }
    fs::path machine, user;
};

TEST(XdgAutostartStores, AUserWhoCannotWriteTheMachineStoreRegistersInTheirOwn) {
    TempDir temp;
    const Desktop desktop(temp);
    EXPECT_EQ(AsUser([&] {
                  XdgAutostartStores stores = desktop.Stores();
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", false);
                  return ExecLine(ReadFile(desktop.user / "Velmora.desktop"));
              }),
              "/usr/bin/velmora");
    EXPECT_TRUE(Entries(desktop.machine).empty());
    EXPECT_EQ(AsUser([&] {
                  XdgAutostartStores stores = desktop.Stores();
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", true);
                  return std::to_string(Entries(desktop.user).size());
              }),
              "0");
}

TEST(XdgAutostartStores, UnregisteringHidesAnEntryTheUserCannotRemove) {
    TempDir temp;
    const Desktop desktop(temp);
    chmod(desktop.machine.c_str(), 0755);
    XdgAutostartStore(desktop.machine.string()).SetValue("Velmora", "/usr/bin/velmora");
    chmod(desktop.machine.c_str(), geteuid() == 0 ? 0755 : 0555);
    EXPECT_EQ(AsUser([&] {
                  XdgAutostartStores stores = desktop.Stores();
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", true);
                  return ReadFile(desktop.user / "Velmora.desktop");
              }),
              HiddenEntryText("Velmora"));
    EXPECT_EQ(Entries(desktop.machine), std::vector<std::string>{"Velmora.desktop"});
}

TEST(XdgAutostartStores, NoStoreToWriteRaisesNamingTheUsersDirectory) {
    TempDir temp;
    const Desktop desktop(temp);
    std::ofstream(desktop.user.parent_path() / "file") << "x";
    const std::string blocked = (desktop.user.parent_path() / "file" / "autostart").string();
    EXPECT_EQ(AsUser([&] {
                  XdgAutostartStores stores(desktop.machine.string(), blocked);
                  SetAutorun(stores, "Velmora", "/usr/bin/velmora", false);
                  return std::string("registered");
              }),
              "Failed to create key " + blocked);
}

TEST(DesktopExecValue, PlainPathStaysUnquoted) {
    EXPECT_EQ(DesktopExecValue("/opt/velmora/velmora"), "/opt/velmora/velmora");
}

TEST(DesktopExecValue, PathWithBlanksIsQuotedSoItStaysOneProgram) {
    EXPECT_EQ(DesktopExecValue("/opt/my apps/velmora"), "\"/opt/my apps/velmora\"");
    EXPECT_EQ(ExecArguments(DesktopExecValue("/opt/my apps/velmora")),
              std::vector<std::string>{"/opt/my apps/velmora"});
}

TEST(DesktopExecValue, ReservedCharactersAreEscapedByTheQuotingRules) {
    EXPECT_EQ(DesktopExecValue("/a b/$x"), "\"/a b/\\\\$x\"");
    EXPECT_EQ(DesktopExecValue("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(DesktopExecValue("/100%/velmora"), "/100%%/velmora");
}

TEST(DesktopExecValue, EveryAwkwardPathReadsBackAsExactlyItself) {
    for (const std::string path :
         {"/opt/my apps/velmora", "/opt/a\"b/velmora", "/opt/$HOME/velmora", "/opt/`id`/velmora",
          "/opt/a\\b/velmora", "/opt/100% sure/velmora", "/opt/x;rm -rf ~/velmora",
          "/opt/tab\there/velmora", "/opt/new\nline/velmora", "/opt/it's/velmora",
          "/opt/%u %f/velmora", "/opt/\\\"/velmora"}) {
        std::string value = DesktopExecValue(path);
        EXPECT_EQ(value.find('\n'), std::string::npos) << path;
        EXPECT_EQ(ExecArguments(value), std::vector<std::string>{path}) << value;
    }
}

}  // namespace
}  // namespace velmora
