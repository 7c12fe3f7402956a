#include "platform/TemporaryName.h"

#include <vector>

namespace velmora {
namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> SplitAtDots(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == '.') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

}  // namespace

// Built by appending: GCC 12 at -O3 warns wrongly about "." + a temporary string.
std::string TemporaryPrefix(const std::string& targetName) {
    std::string prefix = ".";
    prefix += targetName;
    prefix += '.';
    return prefix;
}

std::string TemporaryName(const std::string& targetName, std::uint64_t pid, unsigned count,
                          std::uint64_t tick) {
    return TemporaryPrefix(targetName) + std::to_string(pid) + "." + std::to_string(count) + "." +
           std::to_string(tick % 1000000007) + ".tmp";
}

std::optional<std::uint64_t> TemporaryWriter(const std::string& name,
                                             const std::string& targetName) {
    const std::string prefix = TemporaryPrefix(targetName);
    const std::string suffix = ".tmp";
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return std::nullopt;
    }
    const std::vector<std::string> fields =
        SplitAtDots(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
    if (fields.size() != 3 || fields[0].size() > 9) {
        return std::nullopt;
    }
    for (const std::string& field : fields) {
        if (!AllDigits(field)) {
            return std::nullopt;
        }
    }
    const std::uint64_t pid = std::stoull(fields[0]);
    return pid > 0 ? std::optional<std::uint64_t>(pid) : std::nullopt;
}

}  // namespace velmora
