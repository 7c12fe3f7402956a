#include "ui/qt/ClockSetNotifier.h"

namespace velmora {

ClockSetNotifier::ClockSetNotifier(int descriptor, std::function<bool()> take, QObject* parent)
    : QObject(parent), take_(std::move(take)) {
    if (descriptor < 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        if (take_()) {
            emit ClockWasSet();
        }
    });
}

}  // namespace velmora
