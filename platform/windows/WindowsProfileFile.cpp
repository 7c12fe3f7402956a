#include "platform/windows/WindowsProfileFile.h"
#include "core/Path.h"

#include "platform/windows/AtomicFile.h"
#include "platform/windows/WindowsPath.h"

namespace velmora {

WindowsProfileFile::WindowsProfileFile(std::string fileName, std::string defaultsFile)
    : IniProfile(std::move(fileName), std::move(defaultsFile), true) {}

std::optional<std::string> WindowsProfileFile::ReadFile(const std::string& name,
                                                        bool& missing) const {
    return ReadWholeFile(name, missing);
}

bool WindowsProfileFile::ReplaceFile(const std::string& content) {
    return MakeFolders(DirectoryOf(FileName())) && ReplaceFileAtomically(FileName(), content);
}

}  // namespace velmora
