#include "platform/LinuxProgramPath.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "sync/Settings.h"

namespace velmora {
namespace {

TEST(LinuxProgramPath, NamesTheRunningProgram) {
    const std::string path = LinuxProgramPath().ExecutablePath();
    EXPECT_EQ(path, std::filesystem::canonical("/proc/self/exe").string());
    EXPECT_EQ(ProgramFileName(path), "unit_settings");
    EXPECT_TRUE(std::filesystem::is_directory(ProgramDirectory(path)));
}

}  // namespace
}  // namespace velmora
