#include "service/MachineSettings.h"

#include <optional>
#include <sstream>
#include <string>

#include "core/Error.h"
#include "sync/IntervalRule.h"
#include "sync/Settings.h"

namespace velmora {

TSettings ReadMachineSettings(const ProfileFile& machine, EventSink& events) {
    TSettings settings;
    std::ostringstream told;
    ReadSettings(settings, machine, told);
    if (!told.str().empty()) {
        events.Record(EventSink::Level::Warning, told.str());
    }
    return settings;
}

ProfileFile::KeyValues FirstMachineSettings() {
    TSettings settings;
    settings.UpdateClock = true;
    settings.UpdateClockHour = true;
    settings.UpdateClockInterval = kMillisecondsPerHour;
    settings.GlobalAutorun = true;
    ProfileFile::KeyValues values;
    for (auto& [key, value] : SettingsValues(settings)) {
        // What is each user's stays the user's.
        if (key != "GlobalMinimize" && key != "DisplayLocalTime") {
            values.emplace_back(key, value);
        }
    }
    return values;
}

ProfileFile::KeyValues InstallerSettings(const std::string& servers, const std::string& interval) {
    ProfileFile::KeyValues values;
    if (!servers.empty()) {
        values.emplace_back("GlobalTimeSrvList", servers);
    }
    if (!interval.empty()) {
        const std::optional<std::int32_t> milliseconds = IntervalMilliseconds(interval, false);
        if (!milliseconds) {
            throw Error("INTERVAL \"" + interval + "\" is not a whole number of minutes");
        }
        values.emplace_back("UpdateClock", *milliseconds > 0 ? "1" : "0");
        values.emplace_back("UpdateClockInterval", std::to_string(*milliseconds));
        values.emplace_back("UpdateClockHour", "0");
    }
    return values;
}

}  // namespace velmora
