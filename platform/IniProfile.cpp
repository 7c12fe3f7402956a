#include "platform/IniProfile.h"

#include "core/Error.h"
#include "platform/IniText.h"

namespace velmora {

IniProfile::IniProfile(std::string fileName, std::string defaultsFile, bool crlfLines)
    : fileName_(std::move(fileName)),
      defaultsFile_(std::move(defaultsFile)),
      crlfLines_(crlfLines) {}

std::optional<std::string> IniProfile::ReadContent(bool& missing) const {
    auto content = ReadFile(fileName_, missing);
    if (content || !missing || defaultsFile_.empty()) {
        return content;
    }
    bool defaultsMissing = false;
    auto defaults = ReadFile(defaultsFile_, defaultsMissing);
    // Defaults that cannot be read count as none: this file is the one written.
    return defaults ? defaults : std::optional<std::string>("");
}

std::string IniProfile::ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) const {
    bool missing = false;
    const auto content = ReadContent(missing);
    if (!content) {
        return fallback;
    }
    return FindIniValue(ParseIni(*content), section, key, kMaxValueLength).value_or(fallback);
}

void IniProfile::WriteStrings(const std::string& section, const KeyValues& values) {
    bool missing = false;
    // A new file starts as a copy of the defaults, so that it holds all they held.
    const auto content = ReadContent(missing);
    // An unreadable file is not treated as empty: writing would throw its other lines away.
    if (!content && !missing) {
        throw Error("Unable to write to " + fileName_);
    }
    IniText text = ParseIni(content.value_or(""));
    text.allCrlf = crlfLines_;
    for (const auto& [key, value] : values) {
        SetIniValue(text, section, key, value);
    }
    if (!ReplaceFile(JoinIni(text))) {
        throw Error("Unable to write to " + fileName_);
    }
}

}  // namespace velmora
