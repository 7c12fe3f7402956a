#include <gtest/gtest.h>

#include "core/Path.h"
#include "sync/Settings.h"

namespace velmora {
namespace {

// On Linux a backslash and a colon are ordinary characters of a file name.
TEST(LinuxPath, BackslashesAndDrivesAreNames) {
    EXPECT_EQ(kPathSeparator, '/');
    EXPECT_EQ(DirectoryOf("/opt/a\\b/velmora"), "/opt/a\\b");
    EXPECT_EQ(FileNameOf("/opt/a\\b"), "a\\b");
    EXPECT_EQ(DirectoryOf("C:\\velmora.exe"), ".");
    EXPECT_EQ(DirectoryOf("/c:/velmora"), "/c:");
    EXPECT_EQ(ProgramDirectory("/c:/velmora"), "/c:");
}

}  // namespace
}  // namespace velmora
