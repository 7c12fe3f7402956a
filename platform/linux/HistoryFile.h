#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The history as a text file, one record a line, appended a whole line at a time so that a
// program killed in the middle loses at most that line (the next append cuts it away). It holds
// at most `maxLines` records: when it is full, the oldest go at once, and the newest `keepLines`
// stay, the one coming among them (the file is replaced whole). A record that cannot be kept is
// told once on standard error and is never an error of its caller.
class HistoryFile : public HistoryStore {
  public:
    explicit HistoryFile(std::string path, std::size_t maxLines = 4000,
                         std::size_t keepLines = 3000);

    void Append(const HistoryRecord& record) override;
    std::vector<HistoryRecord> Load() const override;

    const std::string& Path() const { return path_; }

  private:
    // The whole lines of the file.
    std::vector<std::string> Lines() const;
    void Trim();
    void Failed(const std::string& why);

    std::string path_;
    std::size_t maxLines_;
    std::size_t keepLines_;
    // Lines in the file, counted at the first append.
    std::size_t lines_ = 0;
    bool counted_ = false;
    bool failureTold_ = false;
};

// One record as its line (without the line end), and back; nothing for a line that is not one.
std::string HistoryLine(const HistoryRecord& record);
bool ParseHistoryLine(const std::string& line, HistoryRecord& record);

// $XDG_STATE_HOME/velmora/history (by default ~/.local/state/velmora/history); empty when the
// state folder is unknown.
std::string UserHistoryFile();

}  // namespace velmora
