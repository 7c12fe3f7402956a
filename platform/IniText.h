#pragma once

#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The text of an INI file as the classic profile functions see it, for both platforms' files:
// section and key names compare case-insensitively, values are trimmed, every line that is not a
// key being written stays as it was. File I/O is the platform's.
struct IniText {
    // The lines without their '\n'; a '\r' before it stays part of the line.
    std::vector<std::string> lines;
    // Lines end in "\r\n": those added get a '\r' too, and with `allCrlf` every line is written so.
    bool crlf = false;
    bool allCrlf = false;
    // A UTF-8 byte order mark (an editor's) came first; it is kept, never read as part of a name.
    bool byteOrderMark = false;
};

// Splits a file's content into lines; `crlf` follows the first line's end.
IniText ParseIni(const std::string& content);
// The content again; with `allCrlf` every line ends in "\r\n".
std::string JoinIni(const IniText& text);
// The trimmed value of section/key, cut to `maxLength`; nothing when either is missing.
std::optional<std::string> FindIniValue(const IniText& text, const std::string& section,
                                        const std::string& key, std::size_t maxLength);
// Writes section/key as one profile write would: replaces the key's line, else adds it after the
// section's last line, else adds the section at the end. A line break in `value` ends it there.
void SetIniValue(IniText& text, const std::string& section, const std::string& key,
                 const std::string& value);

}  // namespace velmora
