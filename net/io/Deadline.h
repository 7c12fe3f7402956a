#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace velmora {

// The one time limit of a whole query, lookups included, counted on the steady clock.
class Deadline {
  public:
    // -1: no limit. Other negative limits stay as they are, for the binding to refuse.
    explicit Deadline(std::int32_t timeoutMilliseconds)
        : timeout_(timeoutMilliseconds),
          end_(std::chrono::steady_clock::now() +
               std::chrono::milliseconds(timeoutMilliseconds > 0 ? timeoutMilliseconds : 0)) {}

    bool Unlimited() const { return timeout_ == -1; }

    // Milliseconds left, rounded up (0 once passed); the limit itself when it is negative.
    std::int32_t Left() const {
        if (timeout_ < 0) {
            return timeout_;
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now())
                .count();
        return left > 0 ? static_cast<std::int32_t>(left) : 0;
    }

    bool Passed() const { return !Unlimited() && Left() <= 0; }

    // The part of what is left that falls to the first of `tries` made one after another: an
    // even share, so that a try that ends early leaves the rest of its share to those after it.
    // Without a limit every try is without one.
    Deadline Share(std::size_t tries) const {
        if (timeout_ < 0 || tries <= 1) {
            return *this;
        }
        const auto now = std::chrono::steady_clock::now();
        const auto left = std::max(end_ - now, std::chrono::steady_clock::duration::zero());
        return Deadline(timeout_, now + left / static_cast<std::int64_t>(tries));
    }

  private:
    Deadline(std::int32_t timeout, std::chrono::steady_clock::time_point end)
        : timeout_(timeout), end_(end) {}

    std::int32_t timeout_;
    std::chrono::steady_clock::time_point end_;
};

}  // namespace velmora
