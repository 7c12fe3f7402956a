#pragma once

#include <QObject>
#include <vector>

#include "platform/HistoryStore.h"

namespace velmora {

// The history the controller writes to, passed through so that an open History window hears of
// every record as it is kept.
class HistoryFeed : public QObject, public HistoryStore {
    Q_OBJECT

  public:
    explicit HistoryFeed(HistoryStore& store, QObject* parent = nullptr)
        : QObject(parent), store_(store) {}

    void Append(const HistoryRecord& record) override {
        store_.Append(record);
        emit Appended();
    }
    std::vector<HistoryRecord> Load() const override { return store_.Load(); }

  signals:
    void Appended();

  private:
    HistoryStore& store_;
};

}  // namespace velmora
