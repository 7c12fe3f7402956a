#include "platform/linux/AtomicFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "tests/fixtures/linux/AutostartEntries.h"

namespace velmora {
namespace {

TEST(ReplaceFileAtomically, ClearsTheTemporariesOfKilledWritersOfThatFileOnly) {
    TempDir temp;
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    const std::string own = ".KXdefault.cfg.", gone = std::to_string(child);
    const std::string running = std::to_string(getpid());
    const auto put = [&](const std::string& name, std::time_t age = 0) {
        std::ofstream(temp.path() / name) << "[Data]\nGlobalAuto";
        const timespec then{std::time(nullptr) - age, 0}, times[2] = {then, then};
        utimensat(AT_FDCWD, (temp.path() / name).c_str(), times, 0);
    };
    put(own + gone + ".0.123.tmp");              // its writer was killed
    put(own + running + ".4.5.tmp", 24 * 3600);  // a day old: the id is another process's now
    std::vector<std::string> kept = {
        own + running + ".1.2.tmp",  // a save under way
        own + "1.1.2.tmp",           // under way in a process this user may not signal
        own + "0.1.2.tmp",           own + gone + ".1.2.3.tmp",        own + gone + ".x.2.tmp",
        own + gone + ".1.2.tmp.bak", ".other.cfg." + gone + ".1.2.tmp"};
    for (const std::string& name : kept) {
        put(name);
    }
    fs::create_symlink(temp.path() / kept[0], temp.path() / (own + gone + ".8.8.tmp"));
    kept.insert(kept.end(), {own + gone + ".8.8.tmp", "KXdefault.cfg"});

    ASSERT_TRUE(ReplaceFileAtomically((temp.path() / "KXdefault.cfg").string(), "[Data]\n"));

    std::vector<std::string> left = Entries(temp.path());
    std::sort(left.begin(), left.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(left, kept);
}

}  // namespace
}  // namespace velmora
