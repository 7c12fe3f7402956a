#include "platform/linux/RuntimeFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/fixtures/linux/EnvScope.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class RuntimeFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("velmora-runtime-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    // A folder under the test's root with `mode`.
    std::string Folder(const std::string& name, mode_t mode) const {
        const fs::path folder = root / name;
        fs::create_directories(folder);
        chmod(folder.c_str(), mode);
        return folder.string();
    }

    fs::path root;
};

TEST_F(RuntimeFolderTest, TheRuntimeFolderOnlyWhenNobodyElseCanChangeIt) {
    const std::string fallback = (root / "cache/velmora/run-host").string();
    // A folder of another user's: another's own when the test may give it away, else the root.
    std::string others = "/";
    if (getuid() == 0) {
        others = Folder("others", 0700);
        ASSERT_EQ(chown(others.c_str(), 65534, 65534), 0);
    }
    const std::string own = Folder("own", 0700);
    const std::string readable = Folder("readable", 0755);
    const std::string writable = Folder("writable", 0777);
    const std::string shared = Folder("shared", 01777);
    const std::string link = (root / "link").string();
    fs::create_directory_symlink(own, link);
    const struct {
        const char* runtime;
        const std::string& expected;
    } cases[] = {
        {own.c_str(), own},         {readable.c_str(), readable}, {writable.c_str(), fallback},
        {shared.c_str(), fallback}, {others.c_str(), fallback},   {link.c_str(), fallback},
        {"relative/run", fallback}, {nullptr, fallback},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runtime ? c.runtime : "(unset)");
        const EnvScope runtime("XDG_RUNTIME_DIR", c.runtime);
        EXPECT_EQ(PrivateRuntimeFolder(fallback), c.expected);
    }
    struct stat st {};
    ASSERT_EQ(stat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the fallback is made private";
}

TEST_F(RuntimeFolderTest, AFallbackThatIsNotPrivateIsNeverUsed) {
    const EnvScope runtime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(PrivateRuntimeFolder(Folder("open", 0755)), "");
    const std::string link = (root / "link").string();
    fs::create_directory_symlink(Folder("target", 0700), link);
    EXPECT_EQ(PrivateRuntimeFolder(link), "") << "a link is never followed";
    EXPECT_EQ(PrivateRuntimeFolder(""), "");
    const std::string own = Folder("own", 0700);
    EXPECT_EQ(PrivateRuntimeFolder(own), own);
}

}  // namespace
}  // namespace velmora
