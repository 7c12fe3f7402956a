#include "ui/common/TrayTip.h"

namespace velmora {

namespace {

// The UTF-8 sequence's length from its first byte, and its UTF-16 units.
std::size_t SequenceLength(unsigned char first) {
    return first < 0xC0 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
}

}  // namespace

std::string CutToUtf16Units(const std::string& text, std::size_t units) {
    std::size_t at = 0;
    std::size_t counted = 0;
    while (at < text.size()) {
        const std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
        const std::size_t needs = length == 4 ? 2 : 1;
        if (counted + needs > units) {
            break;
        }
        counted += needs;
        at += length;
    }
    return text.substr(0, at);
}

std::string CutTipToUnits(const std::string& tip, std::size_t units) {
    const std::string cut = CutToUtf16Units(tip, units);
    if (cut.size() == tip.size() || tip[cut.size()] == '\n') {
        return cut;
    }
    const std::size_t lastEnd = cut.rfind('\n');
    return lastEnd == cut.find('\n') ? cut : cut.substr(0, lastEnd);
}

std::string LinesText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

std::string TrayTipOf(const std::string& hint, bool showHint, const std::string& details) {
    if (hint.empty() || !showHint) {
        return "";
    }
    const std::string tip = CutToUtf16Units(hint, kMaxTipUnits);
    return details.empty() ? tip : tip + "\n" + details;
}

}  // namespace velmora
