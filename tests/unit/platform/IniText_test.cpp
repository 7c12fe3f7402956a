#include "platform/IniText.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/TemporaryName.h"

namespace velmora {
namespace {

// One edit of a file's text: the content before, the key written, and the content after.
struct Edit {
    const char* name;
    std::string before;
    bool allCrlf;
    const char* key;
    const char* value;
    std::string after;
};

TEST(IniText, EditsKeepTheFilesOwnFormOrWriteWindowsLineEnds) {
    const Edit edits[] = {
        {"new file", "", false, "A", "1", "[Data]\nA=1\n"},
        {"new file, Windows", "", true, "A", "1", "[Data]\r\nA=1\r\n"},
        {"LF file kept", "[Data]\nA=1\n", false, "B", "2", "[Data]\nA=1\nB=2\n"},
        {"LF file read, CRLF written", "x\n[Data]\nA=1\n", true, "A", "3",
         "x\r\n[Data]\r\nA=3\r\n"},
        {"CRLF file kept", "[Data]\r\nA=1\r\n", false, "B", "2", "[Data]\r\nA=1\r\nB=2\r\n"},
        {"mixed file made whole", "[Data]\r\nA=1\nB=1\r\n", true, "C", "3",
         "[Data]\r\nA=1\r\nB=1\r\nC=3\r\n"},
        // An editor's byte order mark is no part of the first section's name, and stays.
        {"byte order mark", "\xEF\xBB\xBF[Data]\r\nA=1\r\n", true, "a", "2",
         "\xEF\xBB\xBF[Data]\r\na=2\r\n"},
        {"line break in a value", "", true, "A", "x\r\n[Other]", "[Data]\r\nA=x\r\n"},
    };
    for (const Edit& edit : edits) {
        IniText text = ParseIni(edit.before);
        text.allCrlf = edit.allCrlf;
        SetIniValue(text, "Data", edit.key, edit.value);
        EXPECT_EQ(JoinIni(text), edit.after) << edit.name;
        EXPECT_EQ(FindIniValue(ParseIni(JoinIni(text)), "DATA", edit.key, 2047),
                  std::string(edit.value).substr(0, std::string(edit.value).find_first_of("\r\n")))
            << edit.name;
    }
}

TEST(IniText, ReadsAsTheProfileFunctionsDo) {
    const IniText text =
        ParseIni("\xEF\xBB\xBF[ data ]\nKey =  a value \t\nEmpty=\n[Next]\nKey=n\n");
    EXPECT_EQ(FindIniValue(text, "Data", "key", 2047), "a value");
    EXPECT_EQ(FindIniValue(text, "Data", "Key", 3), "a v");
    EXPECT_EQ(FindIniValue(text, "Data", "Empty", 2047), "");
    EXPECT_EQ(FindIniValue(text, "Data", "Missing", 2047), std::nullopt);
    EXPECT_EQ(FindIniValue(text, "Next", "Key", 2047), "n");
    EXPECT_EQ(FindIniValue(text, "None", "Key", 2047), std::nullopt);
}

TEST(TemporaryName, OnlyOurOwnTemporariesNameTheirWriter) {
    const std::string name = TemporaryName("KXdefault.cfg", 4242, 7, 123456789012ULL);
    EXPECT_EQ(name.rfind(".KXdefault.cfg.4242.7.", 0), 0u) << name;
    EXPECT_EQ(TemporaryWriter(name, "KXdefault.cfg"), 4242u);
    for (const char* other :
         {"KXdefault.cfg", ".KXdefault.cfg.4242.7.tmp", ".KXdefault.cfg.x.1.2.tmp",
          ".KXdefault.cfg.0.1.2.tmp", ".KXdefault.cfg.1234567890.1.2.tmp", ".other.cfg.12.1.2.tmp",
          ".KXdefault.cfg.12.1.2.tmp.bak"}) {
        EXPECT_EQ(TemporaryWriter(other, "KXdefault.cfg"), std::nullopt) << other;
    }
}

}  // namespace
}  // namespace velmora
