#include "platform/linux/IniProfileFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include "core/Error.h"
#include "core/Path.h"
#include "platform/linux/AtomicFile.h"

namespace velmora {
namespace {

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

// The file as lines without their '\n'; a '\r' before it stays part of the line.
struct IniText {
    std::vector<std::string> lines;
    bool crlf = false;
};

IniText Split(const std::string& content) {
    IniText text;
    std::size_t start = 0;
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

std::optional<std::string> ReadWholeFile(const std::string& fileName, bool* missing) {
    const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            close(fd);
            return n == 0 ? std::optional<std::string>(std::move(content)) : std::nullopt;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string Join(const IniText& text) {
    std::string content;
    for (const std::string& line : text.lines) {
        content += line;
        content += '\n';
    }
    return content;
}

void SetLine(IniText& text, const std::string& section, const std::string& key,
             const std::string& value) {
    const std::string eol = text.crlf ? "\r" : "";
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

// The file that a rename must replace: the target of a symbolic link, not the link itself.
std::string RealTarget(const std::string& fileName) {
    char* resolved = realpath(fileName.c_str(), nullptr);
    if (resolved == nullptr) {
        return fileName;
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Replacing goes round the file's own permissions: a file its owner made read-only stays so.
bool ReplaceIniFile(const std::string& target, const std::string& content) {
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0) {
        return false;
    }
    // A folder of its own (the user's configuration folder) is made on the first write.
    if (!MakeDirectories(DirectoryOf(target), kPrivateFolderMode)) {
        return false;
    }
    return ReplaceFileAtomically(target, content);
}

}  // namespace

IniProfileFile::IniProfileFile(std::string fileName, std::string defaultsFile)
    : fileName_(std::move(fileName)), defaultsFile_(std::move(defaultsFile)) {}

std::optional<std::string> IniProfileFile::ReadContent(bool& missing) const {
    auto content = ReadWholeFile(fileName_, &missing);
    if (content || !missing || defaultsFile_.empty()) {
        return content;
    }
    bool defaultsMissing = false;
    auto defaults = ReadWholeFile(defaultsFile_, &defaultsMissing);
    // Defaults that cannot be read count as none: this file is the one written.
    return defaults ? defaults : std::optional<std::string>("");
}

std::string IniProfileFile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& fallback) const {
    bool missing = false;
    const auto content = ReadContent(missing);
    if (!content) {
        return fallback;
    }
    const IniText text = Split(*content);
    const auto span = FindSection(text, section);
    std::string value;
    if (!span || !FindKey(text, *span, key, &value)) {
        return fallback;
    }
    return value.substr(0, kMaxValueLength);
}

void IniProfileFile::WriteStrings(const std::string& section, const KeyValues& values) {
    bool missing = false;
    // A new file starts as a copy of the defaults, so that it holds all they held.
    const auto content = ReadContent(missing);
    // An unreadable file is not treated as empty: writing would throw its other lines away.
    if (!content && !missing) {
        throw Error("Unable to write to " + fileName_);
    }
    IniText text = Split(content.value_or(""));
    for (const auto& [key, value] : values) {
        SetLine(text, section, key, value);
    }
    if (!ReplaceIniFile(RealTarget(fileName_), Join(text))) {
        throw Error("Unable to write to " + fileName_);
    }
}

}  // namespace velmora
