#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sync/CommandQueue.h"
#include "sync/TimeQuery.h"

namespace velmora {

// The command under way and what it has learned so far; each command starts from nothing.
struct RunningCommand {
    // The count of commands started when this one began: a late step of an ended command finds
    // another number here.
    std::uint64_t Number = 0;
    // Not asked for by the user (the period, the start-up).
    bool Unattended = false;
    // Asks for the time and sets the clock by it (the period, the start-up, the tray's
    // synchronize), by the answer it got, if any.
    bool Synchronizing = false;
    std::optional<QueryAttempt> Answer;
    // The failed attempts of its query under way.
    std::vector<QueryAttempt> Failures;

    // The next command after `previous`.
    static RunningCommand After(const RunningCommand& previous, Command command) {
        const bool unattended = command == Command::Periodic || command == Command::AtStart;
        return {previous.Number + 1,
                unattended,
                unattended || command == Command::Synchronize,
                std::nullopt,
                {}};
    }
};

}  // namespace velmora
