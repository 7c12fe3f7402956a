#include "platform/IniText.h"

#include <cctype>
#include <string_view>

namespace velmora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y)) {
            return false;
        }
    }
    return true;
}

// The section name of a "[name]" line, if it is one.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = trimmed.find(']');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return Trim(trimmed.substr(1, close - 1));
}

bool IsKeyLine(const std::string& line, const std::string& key, std::string* value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || !SameName(Trim(line.substr(0, equals)), key)) {
        return false;
    }
    if (value != nullptr) {
        // A carriage return ends the value, as it ends the value written: neither can carry a
        // line break into the file.
        const std::string rest = line.substr(equals + 1);
        *value = Trim(rest.substr(0, rest.find('\r')));
    }
    return true;
}

// Where a section's lines are: the header line and one past its last non-blank line.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> FindSection(const IniText& text, const std::string& section) {
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const auto name = SectionName(text.lines[i]);
        if (!name || !SameName(*name, section)) {
            continue;
        }
        SectionSpan span{i, i + 1};
        for (std::size_t j = i + 1; j < text.lines.size() && !SectionName(text.lines[j]); ++j) {
            if (!Trim(text.lines[j]).empty()) {
                span.end = j + 1;
            }
        }
        return span;
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const IniText& text, const SectionSpan& span,
                                   const std::string& key, std::string* value) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (IsKeyLine(text.lines[i], key, value)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

IniText ParseIni(const std::string& content) {
    IniText text;
    std::size_t start = 0;
    if (content.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
        text.byteOrderMark = true;
        start = kByteOrderMark.size();
    }
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            end = content.size();
        }
        text.lines.push_back(content.substr(start, end - start));
        start = end + 1;
    }
    text.crlf = !text.lines.empty() && !text.lines[0].empty() && text.lines[0].back() == '\r';
    return text;
}

std::string JoinIni(const IniText& text) {
    std::string content(text.byteOrderMark ? kByteOrderMark : "");
    for (const std::string& line : text.lines) {
        content += line;
        if (text.allCrlf && (line.empty() || line.back() != '\r')) {
            content += '\r';
        }
        content += '\n';
    }
    return content;
}

std::optional<std::string> FindIniValue(const IniText& text, const std::string& section,
                                        const std::string& key, std::size_t maxLength) {
    const auto span = FindSection(text, section);
    std::string value;
    if (!span || !FindKey(text, *span, key, &value)) {
        return std::nullopt;
    }
    return value.substr(0, maxLength);
}

void SetIniValue(IniText& text, const std::string& section, const std::string& key,
                 const std::string& value) {
    const std::string eol = text.crlf || text.allCrlf ? "\r" : "";
    // A line break would end the value there on reading and start lines of its own: keep only
    // what a read gives back.
    const std::string line = key + "=" + value.substr(0, value.find_first_of("\r\n")) + eol;
    const auto span = FindSection(text, section);
    if (!span) {
        if (!text.lines.empty() && !Trim(text.lines.back()).empty()) {
            text.lines.push_back(eol);
        }
        text.lines.push_back("[" + section + "]" + eol);
        text.lines.push_back(line);
        return;
    }
    if (const auto at = FindKey(text, *span, key, nullptr)) {
        text.lines[*at] = line;
    } else {
        text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(span->end), line);
    }
}

}  // namespace velmora
