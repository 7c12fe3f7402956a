#include "ui/common/OptionsFields.h"

#include "sync/Settings.h"

namespace velmora {

std::vector<std::string> ServerLinesOf(const std::string& serverList) {
    std::vector<std::string> lines;
    SplitList(serverList, '|', lines);
    if (lines.size() > 1 && lines.back().empty()) {
        lines.emplace_back();
    }
    return lines;
}

std::string ServerListOf(std::vector<std::string> lines) {
    if (!lines.empty() && lines.back().empty()) {
        lines.pop_back();
    }
    std::string list;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        list += (i == 0 ? "" : "|") + lines[i];
    }
    return list;
}

bool IntervalFieldTakes(char32_t typed) {
    return (typed >= U'0' && typed <= U'9') || typed < 0x20 || typed == 0x7F;
}

}  // namespace velmora
