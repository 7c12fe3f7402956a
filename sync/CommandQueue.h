#pragma once

#include <deque>
#include <functional>

namespace velmora {

// What the user, the period or the start-up asks the controller to do.
enum class Command {
    GetTime,      // "Get time"
    Adjust,       // "Adjust time"
    Synchronize,  // the tray menu's "Synchronize computer clock"
    Periodic,     // a tick of the periodic synchronization
    AtStart,      // the synchronization at start-up
};

// Commands run one at a time, in the order they come; a command that comes while another runs
// waits its turn, unless the same command is already waiting: then it is dropped (a second click
// on a button, or a period that falls due, while the first still waits).
class CommandQueue {
  public:
    explicit CommandQueue(std::function<void(Command)> start) : start_(std::move(start)) {}

    // Starts the command now when none runs, else keeps it waiting (or drops it).
    void Push(Command command);
    // The running command has ended: the next waiting one starts.
    void Finish();
    bool Running() const { return running_; }

  private:
    void StartNext();

    std::function<void(Command)> start_;
    std::deque<Command> waiting_;
    bool running_ = false;
};

}  // namespace velmora
