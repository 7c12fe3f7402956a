#include "core/Path.h"

#include <gtest/gtest.h>

#include <string>

#include "sync/Settings.h"

namespace velmora {
namespace {

// One split for every use: the folder of "/x" is "/" here as for the atomic replace, and the
// program's directory is that folder less its trailing separator.
TEST(Path, FolderAndNameOfEveryShapeOfPath) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
        const char* programDirectory;
    };
    for (const Case& c :
         {Case{"/opt/velmora/bin/velmora", "/opt/velmora/bin", "velmora", "/opt/velmora/bin"},
          Case{"/x", "/", "x", ""}, Case{"x", ".", "x", "."}, Case{"dir/x", "dir", "x", "dir"},
          Case{"/dir/", "/dir", "", "/dir"}}) {
        EXPECT_EQ(DirectoryOf(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
        EXPECT_EQ(ProgramDirectory(c.path), c.programDirectory) << c.path;
        const std::string path = c.path;
        EXPECT_EQ(ProgramDirectory(path) + "/" + FileNameOf(path),
                  path.find('/') != std::string::npos ? path : "./" + path);
    }
}

}  // namespace
}  // namespace velmora
