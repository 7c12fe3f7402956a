#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The history the controller writes to, passed through so that an open History window hears of
// every record as it is kept.
class HistoryFeed : public HistoryStore {
  public:
    explicit HistoryFeed(HistoryStore& store) : store_(store) {}

    void Append(const HistoryRecord& record) override {
        store_.Append(record);
        if (OnAppended) {
            OnAppended();
        }
    }
    std::vector<HistoryRecord> Load() const override { return store_.Load(); }

    // Runs after every record kept, on the window's thread; the History window sets it while
    // it is open.
    std::function<void()> OnAppended;

  private:
    HistoryStore& store_;
};

}  // namespace velmora
