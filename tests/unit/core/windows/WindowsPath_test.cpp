#include <gtest/gtest.h>

#include <string>

#include "core/Path.h"
#include "sync/Settings.h"

namespace velmora {
namespace {

// Windows paths as GetModuleFileNameW gives them: a drive's root keeps its backslash as a folder,
// the program's directory drops it, so that the settings file of a program in C:\ is
// C:\KXdefault.cfg.
TEST(WindowsPath, DrivesRootsAndBothSeparators) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* programDirectory;
    };
    for (const Case& c : {
             Case{"C:\\Program Files\\Velmora\\velmora.exe", "C:\\Program Files\\Velmora",
                  "velmora.exe", "C:\\Program Files\\Velmora"},
             Case{"C:\\velmora.exe", "C:\\", "velmora.exe", "C:"},
             Case{"D:/portable/velmora.exe", "D:/portable", "velmora.exe", "D:/portable"},
             Case{"C:\\mixed/folders\\velmora.exe", "C:\\mixed/folders", "velmora.exe",
                  "C:\\mixed/folders"},
             Case{"\\\\server\\share\\velmora.exe", "\\\\server\\share", "velmora.exe",
                  "\\\\server\\share"},
             Case{"\\\\?\\C:\\velmora.exe", "\\\\?\\C:\\", "velmora.exe", "\\\\?\\C:"},
             Case{"\\velmora.exe", "\\", "velmora.exe", ""},
             Case{"C:\\J\xc3\xbcrgen\\velmora.exe", "C:\\J\xc3\xbcrgen", "velmora.exe",
                  "C:\\J\xc3\xbcrgen"},
         }) {
        EXPECT_EQ(DirectoryOf(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(ProgramDirectory(c.path), c.programDirectory) << c.path;
    }
    EXPECT_EQ(ProgramDirectory("C:\\velmora.exe") + kPathSeparator + kSettingsFileName,
              "C:\\KXdefault.cfg");
    EXPECT_EQ(PerUserSettingsFile("C:\\Users\\J\xc3\xbcrgen\\AppData\\Roaming"),
              "C:\\Users\\J\xc3\xbcrgen\\AppData\\Roaming\\velmora\\KXdefault.cfg");
}

}  // namespace
}  // namespace velmora
