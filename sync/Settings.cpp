#include "sync/Settings.h"

#include <cstdint>
#include <iostream>
#include <optional>
#include <string_view>
#include <type_traits>
#include <variant>

#include "core/Path.h"

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

std::int32_t ReadInteger(const ProfileFile& file, std::string_view key, std::int32_t fallback) {
    return ParseInteger(file.ReadString(kSettingsSection, std::string(key), "")).value_or(fallback);
}

// Reads one setting into its field by the rules of its type.
struct ReadSetting {
    const ProfileFile& file;
    TSettings& settings;
    const SettingDefinition& setting;
    std::ostream& told;

    void operator()(bool TSettings::*field) const {
        const bool fallback = std::get<bool>(setting.Default);
        settings.*field = ReadInteger(file, setting.Key, fallback ? 1 : 0) != 0;
    }
    void operator()(std::int32_t TSettings::*field) const {
        const std::int32_t fallback = std::get<std::int32_t>(setting.Default);
        settings.*field = setting.Lowest ? ReadAtLeast(*setting.Lowest, fallback)
                                         : ReadInteger(file, setting.Key, fallback);
    }
    // An integer of `lowest` or more; anything else present in the file is told.
    std::int32_t ReadAtLeast(std::int32_t lowest, std::int32_t fallback) const {
        const std::string text = file.ReadString(kSettingsSection, std::string(setting.Key), "");
        const std::optional<std::int32_t> value = ParseInteger(text);
        if (value && *value >= lowest) {
            return *value;
        }
        if (!text.empty()) {
            told << file.FileName() << ": " << setting.Key << " \"" << text
                 << "\" is not a whole number of " << lowest << " or more; " << fallback
                 << " is used instead\n";
        }
        return fallback;
    }
    void operator()(std::string TSettings::*field) const {
        const std::string fallback(std::get<std::string_view>(setting.Default));
        settings.*field = file.ReadString(kSettingsSection, std::string(setting.Key), fallback);
    }
};

// The text a setting is written as.
struct SettingText {
    const TSettings& settings;

    std::string operator()(bool TSettings::*field) const { return settings.*field ? "1" : "0"; }
    std::string operator()(std::int32_t TSettings::*field) const {
        return std::to_string(settings.*field);
    }
    std::string operator()(std::string TSettings::*field) const { return settings.*field; }
};

}  // namespace

TSettings::TSettings() {
    for (const SettingDefinition& setting : kSettingsTable) {
        std::visit(
            [this, &setting](auto field) {
                using Value = std::remove_reference_t<decltype(this->*field)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    this->*field = std::string(std::get<std::string_view>(setting.Default));
                } else {
                    this->*field = std::get<Value>(setting.Default);
                }
            },
            setting.Field);
    }
}

void LoadSettings(TSettings& settings, std::vector<std::string>& serverList,
                  const ProfileFile& file, TimeView& view) {
    LoadSettings(settings, serverList, file, view, std::cerr);
}

void LoadSettings(TSettings& settings, std::vector<std::string>& serverList,
                  const ProfileFile& file, TimeView& view, std::ostream& told) {
    ReadSettings(settings, file, told, [&](const SettingDefinition& setting) {
        // The window is minimized as soon as the key says so, before the next key is read.
        if (setting.Field == SettingField(&TSettings::GlobalMinimize) && settings.GlobalMinimize) {
            view.SetWindowMinimized();
        }
        if (setting.Field == SettingField(&TSettings::GlobalTimeSrvList)) {
            SplitList(settings.GlobalTimeSrvList, '|', serverList);
        }
    });
}

void ReadSettings(TSettings& settings, const ProfileFile& file, std::ostream& told,
                  const std::function<void(const SettingDefinition&)>& read) {
    for (const SettingDefinition& setting : kSettingsTable) {
        std::visit(ReadSetting{file, settings, setting, told}, setting.Field);
        if (read) {
            read(setting);
        }
    }
}

ProfileFile::KeyValues SettingsValues(const TSettings& settings) {
    ProfileFile::KeyValues values;
    for (const SettingDefinition& setting : kSettingsTable) {
        values.emplace_back(setting.Key, std::visit(SettingText{settings}, setting.Field));
    }
    return values;
}

void SaveSettings(const TSettings& settings, ProfileFile& file) {
    // One replace of the file: a refused or interrupted save leaves the old one whole.
    file.WriteStrings(kSettingsSection, SettingsValues(settings));
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
    // The folder less its one trailing separator, which only a root has: "/" becomes "" and
    // "C:\" becomes "C:".
    std::string folder = DirectoryOf(executablePath);
    if (!folder.empty() && IsPathSeparator(folder.back())) {
        folder.pop_back();
    }
    return folder;
}

std::string PerUserSettingsFile(const std::string& configDirectory) {
    if (configDirectory.empty()) {
        return "";
    }
    return configDirectory + kPathSeparator + kUserSettingsFolder + kPathSeparator +
           kSettingsFileName;
}

}  // namespace velmora
