#include "sync/Settings.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Path.h"
#include "tests/fixtures/FakeProfileFile.h"
#include "tests/fixtures/FakeTimeView.h"

namespace velmora {
namespace {

using List = std::vector<std::string>;

List Split(const std::string& text) {
    List list{"left over"};
    SplitList(text, '|', list);
    return list;
}

TEST(SplitList, EveryDelimiterEndsAnEntry) {
    EXPECT_EQ(Split(""), List{});
    EXPECT_EQ(Split("x|y"), (List{"x", "y"}));
    EXPECT_EQ(Split("x||y"), (List{"x", "", "y"}));
    EXPECT_EQ(Split("x|"), (List{"x", ""}));
    EXPECT_EQ(Split("|x"), (List{"", "x"}));
    EXPECT_EQ(Split("|"), (List{"", ""}));
    EXPECT_EQ(Split(" a | a "), (List{" a ", " a "}));  // nothing trimmed, duplicates kept
}

TEST(ProgramPath, DirectoryAndFileName) {
    EXPECT_EQ(ProgramDirectory("/opt/velmora/bin/velmora"), "/opt/velmora/bin");
    EXPECT_EQ(FileNameOf("/opt/velmora/bin/velmora"), "velmora");
    // In the root the directory is empty, so that the settings file is "/KXdefault.cfg".
    EXPECT_EQ(ProgramDirectory("/velmora"), "");
    EXPECT_EQ(ProgramDirectory("/velmora") + "/" + kSettingsFileName, "/KXdefault.cfg");
    EXPECT_EQ(FileNameOf("/velmora"), "velmora");
}

class LoadFromFake : public ::testing::Test {
  protected:
    TSettings Load() {
        TSettings settings;
        settings.UpdateClockHour = false;  // shows that defaults are applied, not kept
        LoadSettings(settings, servers, file, view);
        return settings;
    }
    void Set(const char* key, const std::string& value) { file.Set("Data", key, value); }
    FakeProfileFile file;
    FakeTimeView view;
    List servers{"stale"};
};

TEST_F(LoadFromFake, MissingKeysGiveTheDefaults) {
    const TSettings s = Load();
    EXPECT_FALSE(s.GlobalAutorun);
    EXPECT_FALSE(s.GlobalMinimize);
    EXPECT_FALSE(s.GlobalNextSrvOnFail);
    EXPECT_EQ(s.GlobalTimeSrvList, "time-a-g.nist.gov|time-b-g.nist.gov");
    EXPECT_FALSE(s.UpdateClock);
    EXPECT_EQ(s.UpdateClockInterval, 30);
    EXPECT_TRUE(s.UpdateClockHour);
    EXPECT_TRUE(s.DisplayLocalTime);
    EXPECT_EQ(servers, (List{"time-a-g.nist.gov", "time-b-g.nist.gov"}));
    EXPECT_EQ(view.MinimizedCount, 0);
}

TEST_F(LoadFromFake, AnEmptyServerListStaysEmpty) {
    Set("GlobalTimeSrvList", "");
    EXPECT_EQ(Load().GlobalTimeSrvList, "");
    EXPECT_TRUE(servers.empty());
}

TEST_F(LoadFromFake, BooleansAreIntegersAndAnyNonZeroIsTrue) {
    Set("UpdateClock", "yes");
    Set("DisplayLocalTime", "yes");
    Set("GlobalAutorun", "2");
    Set("GlobalNextSrvOnFail", "-1");
    Set("UpdateClockHour", "0");
    Set("GlobalMinimize", "0x10");
    const TSettings s = Load();
    EXPECT_FALSE(s.UpdateClock);
    EXPECT_TRUE(s.DisplayLocalTime);
    EXPECT_TRUE(s.GlobalAutorun);
    EXPECT_TRUE(s.GlobalNextSrvOnFail);
    EXPECT_FALSE(s.UpdateClockHour);
    EXPECT_TRUE(s.GlobalMinimize);
    EXPECT_EQ(view.MinimizedCount, 1);
}

TEST_F(LoadFromFake, IntegerEncodings) {
    const std::pair<const char*, std::int32_t> cases[] = {{"0x3E8", 1000},
                                                          {"0X3e8", 1000},
                                                          {"$3E8", 1000},
                                                          {"-$10", -16},
                                                          {"1000", 1000},
                                                          {"+1000", 1000},
                                                          {"-5", -5},
                                                          {"0", 0},
                                                          {"0x", 30},
                                                          {"0x1G", 30},
                                                          {"12a", 30},
                                                          {"1 000", 30},
                                                          {"", 30},
                                                          {"+", 30},
                                                          {"$", 30},
                                                          {"2147483647", 2147483647},
                                                          {"2147483648", 30},
                                                          {"-2147483648", -2147483647 - 1},
                                                          {"99999999999", 30},
                                                          {"$FFFFFFFF", -1},
                                                          {"000000000001000", 1000},
                                                          {"0x100000000", 30},
                                                          {"3.5", 30},
                                                          {"x3E8", 30}};
    for (const auto& [text, expected] : cases) {
        Set("UpdateClockInterval", text);
        EXPECT_EQ(Load().UpdateClockInterval, expected) << '"' << text << '"';
    }
}

// Below its lowest value, or no integer, a setting reads as its default and the text is told;
// missing or empty, quietly. A setting without a lowest value takes any integer.
TEST_F(LoadFromFake, AStepLimitBelowZeroOrNoIntegerIsTheDefaultAndTold) {
    const struct {
        const char* text;
        std::int32_t value;
        bool told;
    } cases[] = {{"-3600", 3600, true}, {"-1", 3600, true},  {"$FFFFFFFF", 3600, true},
                 {"lots", 3600, true},  {"3.5", 3600, true}, {"0", 0, false},
                 {"120", 120, false},   {"0x10", 16, false}, {"", 3600, false}};
    Set("UpdateClockInterval", "-5");
    for (const auto& c : cases) {
        Set("StepLimitSeconds", c.text);
        std::ostringstream told;
        TSettings s;
        LoadSettings(s, servers, file, view, told);
        EXPECT_EQ(s.StepLimitSeconds, c.value) << c.text;
        EXPECT_EQ(s.UpdateClockInterval, -5);
        EXPECT_EQ(told.str().empty(), !c.told) << c.text << ": " << told.str();
    }
    Set("StepLimitSeconds", "-3600");
    std::ostringstream told;
    TSettings s;
    LoadSettings(s, servers, file, view, told);
    EXPECT_EQ(told.str(), file.FileName() +
                              ": StepLimitSeconds \"-3600\" is not a whole number of 0 or more; "
                              "3600 is used instead\n");
}

// A profile file that says which key is read when, next to the window's minimizing.
class OrderedFile : public FakeProfileFile {
  public:
    explicit OrderedFile(std::vector<std::string>& events) : events_(events) {}
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const override {
        events_.push_back(key);
        return FakeProfileFile::ReadString(section, key, fallback);
    }

  private:
    std::vector<std::string>& events_;
};

class OrderedView : public FakeTimeView {
  public:
    explicit OrderedView(std::vector<std::string>& events) : events_(events) {}
    void SetWindowMinimized() override { events_.push_back("minimized"); }

  private:
    std::vector<std::string>& events_;
};

TEST(LoadSettings, MinimizesAsSoonAsThatKeyIsRead) {
    std::vector<std::string> events;
    OrderedFile file(events);
    file.Set("data", "globalminimize", "1");
    OrderedView view(events);
    TSettings settings;
    List servers;
    LoadSettings(settings, servers, file, view);
    EXPECT_EQ(events, (List{"GlobalAutorun", "GlobalMinimize", "minimized", "GlobalNextSrvOnFail",
                            "GlobalTimeSrvList", "UpdateClock", "UpdateClockInterval",
                            "UpdateClockHour", "DisplayLocalTime", "StepLimitSeconds"}));
}

TEST(SaveSettings, WritesEveryKeyInOrder) {
    FakeProfileFile file;
    TSettings settings;
    settings.GlobalMinimize = true;
    settings.GlobalTimeSrvList = "";
    settings.UpdateClockInterval = -3600000;
    SaveSettings(settings, file);
    using Writes = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(file.Writes, (Writes{{"GlobalAutorun", "0"},
                                   {"GlobalMinimize", "1"},
                                   {"GlobalNextSrvOnFail", "0"},
                                   {"GlobalTimeSrvList", ""},
                                   {"UpdateClock", "0"},
                                   {"UpdateClockInterval", "-3600000"},
                                   {"UpdateClockHour", "1"},
                                   {"DisplayLocalTime", "1"},
                                   {"StepLimitSeconds", "3600"}}));
    EXPECT_EQ(file.Replaces, 1);
}

// A value of each setting's type that is not its default.
struct Changed {
    TSettings& s;
    void operator()(bool TSettings::*field) const { s.*field = !(s.*field); }
    void operator()(std::int32_t TSettings::*field) const { s.*field = s.*field * 7 + 1; }
    void operator()(std::string TSettings::*field) const { s.*field = "x|" + s.*field; }
};

TEST(SettingsTable, EverySettingKeepsItsValueThroughTheFileAndDefaultsWhenMissing) {
    TSettings changed;
    for (const SettingDefinition& setting : kSettingsTable) {
        std::visit(Changed{changed}, setting.Field);
    }
    FakeProfileFile file;
    SaveSettings(changed, file);
    EXPECT_EQ(file.Writes.size(), kSettingsTable.size());
    TSettings loaded;
    List servers;
    FakeTimeView view;
    LoadSettings(loaded, servers, file, view);
    for (const SettingDefinition& setting : kSettingsTable) {
        const auto same = [&](auto field) { return loaded.*field == changed.*field; };
        EXPECT_TRUE(std::visit(same, setting.Field)) << setting.Key;
        const auto isDefault = [&](auto field) {
            return SettingValue(TSettings{}.*field) == setting.Default;
        };
        EXPECT_TRUE(std::visit(isDefault, setting.Field)) << setting.Key;
    }
}

TEST(SaveSettings, ARefusedSaveWritesNoKeyAndCarriesTheFileName) {
    FakeProfileFile file("/opt/velmora/KXdefault.cfg");
    file.Set("Data", "UpdateClock", "1");
    file.FailWrites = true;
    try {
        SaveSettings(TSettings{}, file);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Unable to write to /opt/velmora/KXdefault.cfg");
    }
    EXPECT_TRUE(file.Writes.empty());
    EXPECT_EQ(file.Get("Data", "UpdateClock"), "1");
    EXPECT_FALSE(file.Has("Data", "GlobalAutorun"));
}

}  // namespace
}  // namespace velmora
