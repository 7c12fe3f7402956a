#include "platform/windows/MachineSettingsCommand.h"

#include <windows.h>

#include <exception>
#include <string_view>

#include "platform/windows/ElevatedClock.h"

namespace velmora {
namespace {

constexpr std::string_view kMachineSettings = "/VelmoraMachineSettings:";
constexpr std::string_view kHexDigits = "0123456789abcdef";

std::optional<std::string> FromHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const std::size_t high = kHexDigits.find(hex[i]);
        const std::size_t low = kHexDigits.find(hex[i + 1]);
        if (high == std::string_view::npos || low == std::string_view::npos) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

std::optional<ProfileFile::KeyValues> ParseValues(std::string_view argument) {
    if (argument.substr(0, kMachineSettings.size()) != kMachineSettings) {
        return std::nullopt;
    }
    const std::optional<std::string> text = FromHex(argument.substr(kMachineSettings.size()));
    if (!text) {
        return std::nullopt;
    }
    std::vector<std::string> pieces;
    for (std::size_t start = 0; start < text->size();) {
        const std::size_t end = text->find('\0', start);
        if (end == std::string::npos) {
            return std::nullopt;
        }
        pieces.push_back(text->substr(start, end - start));
        start = end + 1;
    }
    if (pieces.size() % 2 != 0) {
        return std::nullopt;
    }
    ProfileFile::KeyValues values;
    for (std::size_t i = 0; i < pieces.size(); i += 2) {
        values.emplace_back(pieces[i], pieces[i + 1]);
    }
    return values;
}

}  // namespace

std::string MachineSettingsArguments(const ProfileFile::KeyValues& values) {
    std::string hex(kMachineSettings);
    const auto add = [&hex](const std::string& text) {
        for (const char c : text + '\0') {
            const auto byte = static_cast<unsigned char>(c);
            hex += kHexDigits[byte / 16];
            hex += kHexDigits[byte % 16];
        }
    };
    for (const auto& [key, value] : values) {
        add(key);
        add(value);
    }
    return hex;
}

std::optional<int> RunMachineSettingsCommand(const std::vector<std::string>& args,
                                             ProfileFile& machine,
                                             const MachineValuesCheck& check) {
    if (args.size() != 1 || args[0].substr(0, kMachineSettings.size()) != kMachineSettings) {
        return std::nullopt;
    }
    const std::optional<ProfileFile::KeyValues> parsed = ParseValues(args[0]);
    const std::optional<ProfileFile::KeyValues> checked =
        parsed && !parsed->empty() ? check(*parsed) : std::nullopt;
    if (!checked) {
        return ERROR_INVALID_DATA;
    }
    try {
        machine.WriteStrings("", *checked);
    } catch (const std::exception&) {
        return ERROR_CANTWRITE;
    }
    return kPrivateCommandDone;
}

}  // namespace velmora
