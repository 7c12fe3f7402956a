#pragma once

#include <functional>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The history the controller writes to, passed through so that an open History window hears of
// every record as it is kept. Append runs on the window's thread, so the listener may repaint.
class HistoryFeed : public HistoryStore {
  public:
    explicit HistoryFeed(HistoryStore& store) : store_(store) {}

    void Append(const HistoryRecord& record) override {
        store_.Append(record);
        if (Appended) {
            Appended();
        }
    }
    std::vector<HistoryRecord> Load() const override { return store_.Load(); }

    // The open History window's, while it is open.
    std::function<void()> Appended;

  private:
    HistoryStore& store_;
};

}  // namespace velmora
