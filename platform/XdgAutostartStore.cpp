#include "platform/XdgAutostartStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/WriteAll.h"

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

// Writes `text` to a new file beside `target` and renames it over `target`, so a reader sees
// either the old entry or the new one, never a part.
bool ReplaceFile(const std::string& directory, const std::string& target, const std::string& text) {
    std::string pattern = directory + "/.velmora-autostart.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    // Every user's session reads the entry.
    bool ok = ::fchmod(fd, 0644) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(name.data(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(name.data());
    }
    return ok;
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

XdgAutostartStore::XdgAutostartStore(std::string directory) : directory_(std::move(directory)) {}

bool XdgAutostartStore::CreateStore() {
    std::error_code error;
    std::filesystem::create_directories(directory_, error);
    return std::filesystem::is_directory(directory_, error);
}

bool XdgAutostartStore::OpenStore() {
    std::error_code error;
    return std::filesystem::is_directory(directory_, error) &&
           ::access(directory_.c_str(), W_OK | X_OK) == 0;
}

bool XdgAutostartStore::SetValue(const std::string& name, const std::string& command) {
    if (!IsValidName(name)) {
        return false;
    }
    return ReplaceFile(directory_, EntryPath(name), DesktopEntryText(name, command));
}

void XdgAutostartStore::DeleteValue(const std::string& name) {
    if (IsValidName(name)) {
        ::unlink(EntryPath(name).c_str());
    }
}

std::string XdgAutostartStore::EntryPath(const std::string& name) const {
    return directory_ + "/" + name + ".desktop";
}

}  // namespace velmora
