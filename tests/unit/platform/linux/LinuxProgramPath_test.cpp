#include "platform/linux/LinuxProgramPath.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "core/Path.h"
#include "sync/Settings.h"

namespace velmora {
namespace {

TEST(LinuxProgramPath, NamesTheRunningProgram) {
    const std::string path = LinuxProgramPath().ExecutablePath();
    EXPECT_EQ(path, std::filesystem::canonical("/proc/self/exe").string());
    EXPECT_EQ(FileNameOf(path), "unit_platform_linux");
    EXPECT_TRUE(std::filesystem::is_directory(ProgramDirectory(path)));
}

TEST(LinuxProgramPath, AProgramReplacedWhileItRunsIsTheFileNowInItsPlace) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("velmora-exe-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path program = dir / "velmora";
    std::filesystem::copy_file("/bin/sleep", program);
    const pid_t child = fork();
    if (child == 0) {
        execl(program.c_str(), "velmora", "30", static_cast<char*>(nullptr));
        _exit(127);
    }
    // The upgrade: a new file renamed over the running one.
    std::filesystem::copy_file("/bin/sleep", dir / "new");
    const std::string link = "/proc/" + std::to_string(child) + "/exe";
    for (int i = 0; i < 200 && ProgramFileOf(link) != program.string(); ++i) {
        usleep(10000);  // until the child runs the copy
    }
    std::filesystem::rename(dir / "new", program);
    EXPECT_EQ(ProgramFileOf(link), program.string());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace velmora
