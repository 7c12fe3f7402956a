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

std::vector<std::string> MemoLinesOf(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 1 : 0;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

std::string MemoTextOf(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : "\n") + lines[i];
    }
    return text;
}

bool IntervalFieldTakes(char32_t typed) {
    return (typed >= U'0' && typed <= U'9') || typed < 0x20 || typed == 0x7F;
}

}  // namespace velmora
