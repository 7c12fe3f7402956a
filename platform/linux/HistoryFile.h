#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/HistoryLine.h"
#include "platform/HistoryStore.h"

namespace velmora {

// The history as a text file, one record a line, appended a whole line at a time so that a
// program killed in the middle loses at most that line (the next append cuts it away). It holds
// at most `maxLines` records: when it is full, the oldest go at once, and the newest `keepLines`
// stay, the one coming among them (the file is replaced whole). Copies of the program on other
// displays may keep the same file: each append and each trim holds a lock on it, and the count
// of lines is taken again whenever another copy has written. A record that cannot be kept is told
// once on standard error and is never an error of its caller.
class HistoryFile : public HistoryStore {
  public:
    explicit HistoryFile(std::string path, std::size_t maxLines = 4000,
                         std::size_t keepLines = 3000);

    void Append(const HistoryRecord& record) override;
    std::vector<HistoryRecord> Load() const override;

    const std::string& Path() const { return path_; }

  private:
    // With the lock held on `fd`.
    bool AppendLocked(int fd, const std::string& line);
    bool Trim(int fd, const std::string& line);
    void Failed(const std::string& why);

    std::string path_;
    std::size_t maxLines_;
    std::size_t keepLines_;
    // Lines in the file as this copy left it: which file and its size.
    std::size_t lines_ = 0;
    struct stat knownFile_ {};
    bool known_ = false;
    bool cleaned_ = false;
    bool failureTold_ = false;
};

// $XDG_STATE_HOME/velmora/history (by default ~/.local/state/velmora/history); empty when the
// state folder is unknown.
std::string UserHistoryFile();

}  // namespace velmora
