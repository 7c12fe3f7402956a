#pragma once

#include <set>
#include <string>
#include <vector>

namespace velmora {

// What time servers said with a kiss-o'-death, kept for the program's run: DENY and RSTR take
// an entry out of the server list for good; RATE makes the next periodic synchronization pass
// it over once. Entries are told apart by their text.
class KissOfDeathBook {
  public:
    // The entries of `list` to ask now, in order. A periodic synchronization uses up the RATE
    // passes of the entries it leaves out.
    std::vector<std::string> Askable(const std::vector<std::string>& list, bool periodic);
    // After a failed attempt at `entry`: the kiss code of its answer, empty when there was none.
    void Note(const std::string& entry, const std::string& kissCode);

  private:
    std::set<std::string> refused_;
    std::set<std::string> slowDown_;
};

}  // namespace velmora
