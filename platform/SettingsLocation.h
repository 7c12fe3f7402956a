#pragma once

#include <string>

namespace velmora {

// Where a settings file lives.
struct SettingsLocation {
    std::string file;      // the file read and written
    std::string defaults;  // read while `file` does not exist yet; empty for none
};

// The rule both platforms follow: `besideProgram` when it can be written there (a portable copy),
// else `perUser`, which reads the one beside the program until it exists itself, so that an
// administrator's file serves as the defaults. With no per-user file known the file stays beside
// the program, and a failed save says so.
inline SettingsLocation ChooseSettingsFile(const std::string& besideProgram,
                                           const std::string& perUser, bool besideWritable) {
    if (perUser.empty() || besideWritable) {
        return {besideProgram, ""};
    }
    return {perUser, besideProgram};
}

}  // namespace velmora
