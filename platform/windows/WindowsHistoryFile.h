#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The history as a text file, one record a line (the lines Linux writes, with "\n" ends), each
// appended whole with one write, so that a program killed in the middle loses at most that line
// (the next append cuts it away). It holds at most `maxLines` records: when it is full, the
// newest `keepLines` stay, the one coming among them, and the file is replaced whole in one
// rename. Copies of the program in the user's other sessions may keep the same file: each append
// holds a lock on it, and the lines are counted again whenever another copy has written. A record
// that cannot be kept is told once on standard error and is never an error of its caller.
class WindowsHistoryFile : public HistoryStore {
  public:
    explicit WindowsHistoryFile(std::string path, std::size_t maxLines = 4000,
                                std::size_t keepLines = 3000);

    void Append(const HistoryRecord& record) override;
    std::vector<HistoryRecord> Load() const override;

    const std::string& Path() const { return path_; }

  private:
    // Appends `line` under the file's lock, unless the file is full (its `content` is then for
    // Trim); the reason when it failed.
    std::string AppendLocked(const std::string& line, std::string& content);
    std::string Trim(const std::string& content, const std::string& line);
    void Failed(const std::string& why);

    std::string path_;
    std::size_t maxLines_;
    std::size_t keepLines_;
    // Lines in the file and its size as this copy left it.
    std::size_t lines_ = 0;
    std::int64_t knownSize_ = -1;
    bool cleaned_ = false;
    bool failureTold_ = false;
};

// %LOCALAPPDATA%\Velmora\history: the machine's own, as it describes this machine's clock; empty
// when the folder is unknown.
std::string UserHistoryFile();

}  // namespace velmora
