#include "sync/Settings.h"

#include <cstdint>
#include <optional>

namespace velmora {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Digits in base 10 or 16; a hexadecimal value may use all 32 bits (as a two's complement
// integer), a decimal one must fit the signed range.
std::optional<std::int64_t> ParseDigits(const std::string& digits, int base) {
    const std::int64_t limit = base == 16 ? 0xFFFFFFFFLL : 0x80000000LL;
    if (digits.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::int32_t> ParseInteger(std::string text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.replace(0, 2, "$");
    }
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        pos = 1;
    }
    const bool hex = pos < text.size() && text[pos] == '$';
    const std::optional<std::int64_t> magnitude =
        ParseDigits(text.substr(pos + (hex ? 1 : 0)), hex ? 16 : 10);
    if (!magnitude || (!hex && !negative && *magnitude > 0x7FFFFFFFLL)) {
        return std::nullopt;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(*magnitude);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

std::int32_t ReadInteger(const ProfileFile& file, const char* key, std::int32_t fallback) {
    return ParseInteger(file.ReadString(kSettingsSection, key, "")).value_or(fallback);
}

bool ReadBool(const ProfileFile& file, const char* key, bool fallback) {
    return ReadInteger(file, key, fallback ? 1 : 0) != 0;
}

void WriteBool(ProfileFile& file, const char* key, bool value) {
    file.WriteString(kSettingsSection, key, value ? "1" : "0");
}

}  // namespace

void LoadSettings(TSettings& settings, std::vector<std::string>& serverList,
                  const ProfileFile& file, TimeView& view) {
    const TSettings defaults;
    settings.GlobalAutorun = ReadBool(file, "GlobalAutorun", defaults.GlobalAutorun);
    settings.GlobalMinimize = ReadBool(file, "GlobalMinimize", defaults.GlobalMinimize);
    if (settings.GlobalMinimize) {
        view.SetWindowMinimized();
    }
    settings.GlobalNextSrvOnFail =
        ReadBool(file, "GlobalNextSrvOnFail", defaults.GlobalNextSrvOnFail);
    settings.GlobalTimeSrvList =
        file.ReadString(kSettingsSection, "GlobalTimeSrvList", defaults.GlobalTimeSrvList);
    SplitList(settings.GlobalTimeSrvList, '|', serverList);
    settings.UpdateClock = ReadBool(file, "UpdateClock", defaults.UpdateClock);
    settings.UpdateClockInterval =
        ReadInteger(file, "UpdateClockInterval", defaults.UpdateClockInterval);
    settings.UpdateClockHour = ReadBool(file, "UpdateClockHour", defaults.UpdateClockHour);
    settings.DisplayLocalTime = ReadBool(file, "DisplayLocalTime", defaults.DisplayLocalTime);
}

void SaveSettings(const TSettings& settings, ProfileFile& file) {
    WriteBool(file, "GlobalAutorun", settings.GlobalAutorun);
    WriteBool(file, "GlobalMinimize", settings.GlobalMinimize);
    WriteBool(file, "GlobalNextSrvOnFail", settings.GlobalNextSrvOnFail);
    file.WriteString(kSettingsSection, "GlobalTimeSrvList", settings.GlobalTimeSrvList);
    WriteBool(file, "UpdateClock", settings.UpdateClock);
    file.WriteString(kSettingsSection, "UpdateClockInterval",
                     std::to_string(settings.UpdateClockInterval));
    WriteBool(file, "UpdateClockHour", settings.UpdateClockHour);
    WriteBool(file, "DisplayLocalTime", settings.DisplayLocalTime);
}

void SplitList(const std::string& text, char delimiter, std::vector<std::string>& list) {
    list.clear();
    if (text.empty()) {
        return;
    }
    std::string piece;
    for (char c : text) {
        if (c == delimiter) {
            list.push_back(piece);
            piece.clear();
        } else {
            piece += c;
        }
    }
    // A trailing delimiter ends with one more, empty, entry; so does a non-empty remainder.
    list.push_back(piece);
}

std::string ProgramDirectory(const std::string& executablePath) {
    const std::size_t slash = executablePath.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    // The directory with its separator, less that one separator: "/" becomes "".
    return executablePath.substr(0, slash);
}

std::string ProgramFileName(const std::string& executablePath) {
    const std::size_t slash = executablePath.rfind('/');
    return slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
}

std::string PerUserSettingsFile(const std::string& configDirectory) {
    if (configDirectory.empty()) {
        return "";
    }
    return configDirectory + "/" + kUserSettingsFolder + "/" + kSettingsFileName;
}

}  // namespace velmora
