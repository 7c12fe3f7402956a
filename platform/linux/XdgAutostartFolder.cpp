#include "platform/linux/XdgAutostartFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/linux/AtomicFile.h"

namespace velmora {

namespace {

// Characters that make an Exec argument need double quotes.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters that must be backslash-escaped inside the double quotes.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

bool NeedsQuotes(const std::string& program) {
    return program.empty() || program.find_first_of(kReservedInExec) != std::string::npos;
}

std::string QuoteExecArgument(const std::string& program) {
    if (!NeedsQuotes(program)) {
        return program;
    }
    std::string quoted = "\"";
    for (char c : program) {
        if (kEscapedInQuotes.find(c) != std::string_view::npos) {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

// A literal percent sign would otherwise be read as a field code.
std::string EscapeFieldCodes(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        escaped += c;
        if (c == '%') {
            escaped += '%';
        }
    }
    return escaped;
}

// The string escapes of every desktop-entry value, applied last.
std::string EscapeStringValue(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

bool IsValidName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

// Every user's session reads the entry.
constexpr mode_t kEntryMode = 0644;

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Whether the desktop entry read from `in` says Hidden=true in its main group: a session then
// starts nothing for it.
bool SaysHidden(std::istream& in) {
    bool mainGroup = false;
    for (std::string line; std::getline(in, line);) {
        line = TrimBlanks(line);
        if (!line.empty() && line.front() == '[') {
            mainGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (mainGroup && equals != std::string::npos &&
            TrimBlanks(line.substr(0, equals)) == "Hidden") {
            return TrimBlanks(line.substr(equals + 1)) == "true";
        }
    }
    return false;
}

}  // namespace

std::string DesktopExecValue(const std::string& program) {
    return EscapeStringValue(EscapeFieldCodes(QuoteExecArgument(program)));
}

std::string DesktopEntryText(const std::string& name, const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           EscapeStringValue(name) +
           "\n"
           "Comment=Keeps the computer clock in step with network time servers\n"
           "Exec=" +
           DesktopExecValue(program) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

std::string HiddenEntryText(const std::string& name) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           EscapeStringValue(name) +
           "\n"
           "Hidden=true\n";
}

XdgAutostartFolder::XdgAutostartFolder(std::string directory, unsigned folderMode)
    : directory_(std::move(directory)), folderMode_(folderMode) {}

bool XdgAutostartFolder::CreateStore() {
    return MakeDirectories(directory_, static_cast<mode_t>(folderMode_)) && OpenStore();
}

bool XdgAutostartFolder::OpenStore() {
    std::error_code error;
    return std::filesystem::is_directory(directory_, error) &&
           ::access(directory_.c_str(), W_OK | X_OK) == 0;
}

bool XdgAutostartFolder::SetValue(const std::string& name, const std::string& command) {
    if (!IsValidName(name)) {
        return false;
    }
    return ReplaceFileAtomically(EntryPath(name), DesktopEntryText(name, command), kEntryMode);
}

bool XdgAutostartFolder::HasValue(const std::string& name) const {
    return IsValidName(name) && ::access(EntryPath(name).c_str(), F_OK) == 0;
}

bool XdgAutostartFolder::HideValue(const std::string& name) {
    return IsValidName(name) && CreateStore() &&
           ReplaceFileAtomically(EntryPath(name), HiddenEntryText(name), kEntryMode);
}

bool XdgAutostartFolder::IsRegistered(const std::string& name) const {
    if (!IsValidName(name)) {
        return false;
    }
    std::ifstream entry(EntryPath(name));
    return entry.is_open() && !SaysHidden(entry);
}

void XdgAutostartFolder::DeleteValue(const std::string& name) {
    if (IsValidName(name)) {
        ::unlink(EntryPath(name).c_str());
    }
}

std::string XdgAutostartFolder::EntryPath(const std::string& name) const {
    return directory_ + "/" + name + ".desktop";
}

}  // namespace velmora
