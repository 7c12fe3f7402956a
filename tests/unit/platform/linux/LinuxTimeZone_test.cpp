#include "platform/linux/LinuxTimeZone.h"
#include "zone/TzifFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace velmora {
namespace {

namespace fs = std::filesystem;
const std::string kZoneinfo = "/usr/share/zoneinfo";
// Beyond the transitions the zone files list: their closing rules decide.
constexpr int kRuleYear = 2040;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Sets TZ for one test and puts the old value back.
class TzScope {
  public:
    explicit TzScope(const char* value) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv("TZ", value, 1);
        } else {
            unsetenv("TZ");
        }
    }
    ~TzScope() {
        if (old_) {
            setenv("TZ", old_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
    }

  private:
    std::optional<std::string> old_;
};

class ZoneFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("velmora-zone-" + std::to_string(getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& content) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    fs::path dir_;
};

TEST_F(ZoneFiles, TheClosingRuleOfAVersionTwoFile) {
    EXPECT_EQ(ReadTzifFooter(kZoneinfo + "/Europe/Berlin"), "CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(ReadTzifFooter(kZoneinfo + "/Asia/Tokyo"), "JST-9");

    // A version 1 file has no rule; any other file, or a cut one, is not a zone file at all.
    std::string v1 = ReadFile(kZoneinfo + "/Etc/UTC");
    v1[4] = '\0';
    EXPECT_EQ(ReadTzifFooter(Write("v1", v1)), "");
    const std::string berlin = ReadFile(kZoneinfo + "/Europe/Berlin");
    EXPECT_FALSE(ReadTzifFooter(Write("cut", berlin.substr(0, berlin.size() - 10))));
    EXPECT_FALSE(ReadTzifFooter(Write("header", berlin.substr(0, 30))));
    EXPECT_FALSE(ReadTzifFooter(Write("text", "CET-1CEST,M3.5.0,M10.5.0/3\n")));
    std::string huge = berlin;
    huge[32] = '\x7f';  // a transition count far beyond the file
    EXPECT_FALSE(ReadTzifFooter(Write("huge", huge)));
    EXPECT_FALSE(ReadTzifFooter((dir_ / "missing").string()));
}

TEST_F(ZoneFiles, TheZoneTheCLibraryUses) {
    {
        const TzScope tz("Europe/Berlin");
        const TimeZoneInformation info = LinuxTimeZone().Read(kRuleYear);
        EXPECT_EQ(info.Bias, -60);
        EXPECT_EQ(info.DaylightBias, -60);
        EXPECT_EQ(info.StandardDate.wMonth, 10);
    }
    {
        const TzScope tz(":Asia/Tokyo");
        EXPECT_EQ(LinuxTimeZone().Read(kRuleYear).Bias, -540);
    }
    {
        const TzScope tz("/usr/share/zoneinfo/America/New_York");
        const TimeZoneInformation info = LinuxTimeZone().Read(kRuleYear);
        EXPECT_EQ(info.Bias, 300);
        EXPECT_EQ(info.DaylightDate.wMonth, 3);
    }
    {
        const TzScope tz("XYZ3ABC,M3.2.0,M11.1.0");  // no such file: read as a rule
        const TimeZoneInformation info = LinuxTimeZone().Read(kRuleYear);
        EXPECT_EQ(info.Bias, 180);
        EXPECT_EQ(info.DaylightBias, -60);
    }
    {
        const TzScope tz("");
        EXPECT_EQ(LinuxTimeZone().Read(kRuleYear), TimeZoneInformation{});
    }
    {
        const TzScope tz("No/Such_Zone");
        EXPECT_EQ(LinuxTimeZone().Read(kRuleYear), TimeZoneInformation{});
    }
}

TEST_F(ZoneFiles, ZoneNamesAreLookedUpInTheGivenDirectory) {
    std::string zone = ReadFile(kZoneinfo + "/Europe/Berlin");
    const std::string footer = "CET-1CEST,M3.5.0,M10.5.0/3";
    zone.replace(zone.size() - footer.size() - 1, footer.size(), "<+03>-3<+04>,J60,J300/1");
    Write("Test", zone);
    const TzScope tz("Test");
    const TimeZoneInformation info = LinuxTimeZone(dir_.string()).Read(kRuleYear);
    EXPECT_EQ(info.Bias, -180);
    EXPECT_EQ(info.DaylightDate.wMonth, 3);
    EXPECT_EQ(info.StandardDate.wHour, 1);
}

TEST(LinuxTimeZone, WithoutTzTheSystemZoneIsRead) {
    const TzScope tz(nullptr);
    const auto footer = ReadTzifFooter("/etc/localtime");
    ASSERT_TRUE(footer) << "/etc/localtime is no zone file";
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    tzset();
    localtime_r(&now, &tm);
    const TimeZoneInformation info = LinuxTimeZone().Read(tm.tm_year + 1900);
    if (info.DaylightDate.wMonth == 0) {
        EXPECT_EQ(info.Bias, -tm.tm_gmtoff / 60);
    }
}

}  // namespace
}  // namespace velmora
