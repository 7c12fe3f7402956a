#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace velmora {

inline constexpr const char* kDefaultServer1 = "time-a-g.nist.gov";
inline constexpr const char* kDefaultServer2 = "time-b-g.nist.gov";
inline constexpr const char* kDefaultServerList = "time-a-g.nist.gov|time-b-g.nist.gov";

// The settings, named after their keys in the settings file: the eight the window has always had,
// and the ones added beside them (a file without those reads as their defaults). A new value holds
// the defaults of the table below.
struct TSettings {
    TSettings();

    bool GlobalAutorun;
    bool GlobalMinimize;
    bool GlobalNextSrvOnFail;
    std::string GlobalTimeSrvList;
    bool UpdateClock;
    std::int32_t UpdateClockInterval;  // milliseconds
    bool UpdateClockHour;
    bool DisplayLocalTime;
    // The largest step, in seconds, that a synchronization nobody asked for may make on a plain
    // (unauthenticated) answer, and beyond which a click asks first; 0: no limit. Never below 0.
    std::int32_t StepLimitSeconds;
};

using SettingField =
    std::variant<bool TSettings::*, std::int32_t TSettings::*, std::string TSettings::*>;
using SettingValue = std::variant<bool, std::int32_t, std::string_view>;

// One setting: its key in the file, its field, and its default (of the field's type). An integer
// with a lowest value reads as its default when the file holds less or no integer at all, and
// that is told.
struct SettingDefinition {
    std::string_view Key;
    SettingField Field;
    SettingValue Default;
    std::optional<std::int32_t> Lowest = std::nullopt;
};

// Every setting in the order the file is read and written. The only home of keys and defaults:
// loading, saving and the tests all read it.
inline constexpr std::array<SettingDefinition, 9> kSettingsTable{{
    {"GlobalAutorun", &TSettings::GlobalAutorun, false},
    {"GlobalMinimize", &TSettings::GlobalMinimize, false},
    {"GlobalNextSrvOnFail", &TSettings::GlobalNextSrvOnFail, false},
    {"GlobalTimeSrvList", &TSettings::GlobalTimeSrvList, std::string_view(kDefaultServerList)},
    {"UpdateClock", &TSettings::UpdateClock, false},
    // 30 milliseconds, not minutes: the options dialog shows it as 0 hours.
    {"UpdateClockInterval", &TSettings::UpdateClockInterval, std::int32_t{30}},
    {"UpdateClockHour", &TSettings::UpdateClockHour, true},
    {"DisplayLocalTime", &TSettings::DisplayLocalTime, true},
    // Below 0 the guard would be off without a word.
    {"StepLimitSeconds", &TSettings::StepLimitSeconds, std::int32_t{3600}, std::int32_t{0}},
}};

constexpr bool DefaultsFitTheirFields() {
    for (const SettingDefinition& setting : kSettingsTable) {
        if (setting.Field.index() != setting.Default.index()) {
            return false;
        }
    }
    return true;
}
static_assert(DefaultsFitTheirFields(), "every default has the type of its field");

}  // namespace velmora
