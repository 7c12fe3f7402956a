#pragma once

#include <string>
#include <vector>

namespace velmora {

// One line of the history: an answer of a time server, or a step of the clock, made by this
// program or by another one (the user's `date`, another time service).
struct HistoryRecord {
    enum class Kind { Answer, Step, OtherStep };
    Kind kind = Kind::Answer;
    double unixSeconds = 0;  // when, in UTC seconds since 1970
    // Answers: the server-list entry that answered.
    std::string entry;
    // Answers: the server's time minus the computer clock; steps: how far the clock was moved
    // (forward when positive).
    double offsetSeconds = 0;
    // Answers: the round trip.
    double delaySeconds = 0;
    // Answers: whether it came authenticated (Network Time Security).
    bool authenticated = false;

    bool operator==(const HistoryRecord&) const = default;
    bool IsStep() const { return kind != Kind::Answer; }
};

// Where the history of answers and steps is kept, bounded: the oldest records go first. Append
// runs on the window's thread and so stays quick; a failure to keep a record loses that record
// only and is never an error of the command that made it.
class HistoryStore {
  public:
    virtual ~HistoryStore() = default;
    virtual void Append(const HistoryRecord& record) = 0;
    // Every record kept, oldest first.
    virtual std::vector<HistoryRecord> Load() const = 0;
};

}  // namespace velmora
