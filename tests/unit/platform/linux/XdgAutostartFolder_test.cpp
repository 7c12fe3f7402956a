#include "platform/linux/XdgAutostartFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "sync/Autorun.h"
#include "tests/fixtures/linux/AutostartEntries.h"

namespace velmora {
namespace {

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

TEST(XdgAutostartFolder, RegisteringCreatesTheDirectoryAndOneValidEntry) {
    TempDir temp;
    fs::path dir = temp.path() / "etc" / "xdg" / "autostart";
    XdgAutostartFolder store(dir.string());

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

TEST(XdgAutostartFolder, RegisteringTwiceOverwritesAndLeavesOtherEntriesAlone) {
    TempDir temp;
    XdgAutostartFolder store(temp.path().string());
    std::ofstream(temp.path() / "other.desktop") << "[Desktop Entry]\nExec=other\n";

    SetAutorun(store, "Velmora", "/old/velmora", false);
    SetAutorun(store, "Velmora", "/new/velmora", false);

    auto names = Entries(temp.path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Velmora.desktop", "other.desktop"}));
    EXPECT_EQ(ExecLine(ReadFile(temp.path() / "Velmora.desktop")), "/new/velmora");
    EXPECT_EQ(ReadFile(temp.path() / "other.desktop"), "[Desktop Entry]\nExec=other\n");
}

TEST(XdgAutostartFolder, RemovingDeletesTheEntryAndAMissingOneOrStoreIsSilent) {
    TempDir temp;
    XdgAutostartFolder store(temp.path().string());
    SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);

    EXPECT_NO_THROW(SetAutorun(store, "Velmora", "/opt/velmora/velmora", true));
    EXPECT_NO_THROW(SetAutorun(store, "Velmora", "/opt/velmora/velmora", true));
    EXPECT_TRUE(Entries(temp.path()).empty());

    XdgAutostartFolder missing((temp.path() / "absent").string());
    EXPECT_NO_THROW(SetAutorun(missing, "Velmora", "/opt/velmora/velmora", true));
    EXPECT_FALSE(fs::exists(temp.path() / "absent"));
}

TEST(XdgAutostartFolder, StoreThatCannotBeCreatedRaisesFailedToCreateKey) {
    TempDir temp;
    std::ofstream(temp.path() / "file") << "x";
    std::string dir = (temp.path() / "file" / "autostart").string();
    XdgAutostartFolder store(dir);

    try {
        SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Failed to create key " + dir);
    }
}

TEST(XdgAutostartFolder, EntryThatCannotBeReplacedRaisesAndLeavesNoTemporaryFile) {
    TempDir temp;
    fs::create_directory(temp.path() / "Velmora.desktop");
    XdgAutostartFolder store(temp.path().string());

    try {
        SetAutorun(store, "Velmora", "/opt/velmora/velmora", false);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Failed to set data for 'Velmora'");
    }
    EXPECT_EQ(Entries(temp.path()), std::vector<std::string>{"Velmora.desktop"});
}

TEST(XdgAutostartFolder, NamesThatLeaveTheDirectoryAreRefused) {
    TempDir temp;
    fs::create_directory(temp.path() / "store");
    XdgAutostartFolder store((temp.path() / "store").string());

    for (const char* name : {"", ".", "..", "../escape", "a/b"}) {
        EXPECT_FALSE(store.SetValue(name, "/bin/true")) << name;
    }
    EXPECT_FALSE(fs::exists(temp.path() / "escape.desktop"));
}

TEST(XdgAutostartFolder, AnEntryIsRegisteredUnlessItsMainGroupHidesIt) {
    TempDir temp;
    const XdgAutostartFolder store(temp.path().string());
    EXPECT_FALSE(store.IsRegistered("Velmora"));
    for (const auto& [text, registered] : std::vector<std::pair<std::string, bool>>{
             {HiddenEntryText("Velmora"), false},
             {"[Desktop Entry]\nExec=velmora\n Hidden = true \r\n", false},
             {"[Desktop Entry]\nExec=velmora\nHidden=false\n", true},
             {"[Desktop Entry]\nExec=velmora\n[Desktop Action x]\nHidden=true\n", true}}) {
        std::ofstream(temp.path() / "Velmora.desktop") << text;
        EXPECT_EQ(store.IsRegistered("Velmora"), registered) << text;
    }
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
