#include "ui/qt/TrayHost.h"

#include <QDBusConnection>
#include <utility>

#include "ui/qt/StatusNotifierWatch.h"
#include "ui/qt/Xcb.h"

namespace velmora {

TrayHost::TrayHost(QObject* parent) : QObject(parent) {}

TrayHost::~TrayHost() = default;

void TrayHost::Decide() {
    kind_ = statusNotifierHost_ ? Protocol::StatusNotifierItem : Protocol::XEmbed;
}

bool TrayHost::Available() const {
    return kind_ == Protocol::StatusNotifierItem ? statusNotifierHost_ : xembedTray_;
}

void TrayHost::Look() {
    Follow();
    statusNotifier_->Read();
    Tell(Protocol::XEmbed, XEmbedTrayManaged());
}

void TrayHost::LookAgain() {
    Follow();
    statusNotifier_->ReadLater();
    // The X server answers at once.
    Tell(Protocol::XEmbed, XEmbedTrayManaged());
}

void TrayHost::Follow() {
    if (statusNotifier_) {
        return;
    }
    statusNotifier_ = std::make_unique<StatusNotifierWatch>(QDBusConnection::sessionBus());
    connect(statusNotifier_.get(), &StatusNotifierWatch::Changed, this,
            [this](bool there) { Tell(Protocol::StatusNotifierItem, there); });
    xembed_ = std::make_unique<XEmbedTrayWatch>(
        [this](bool managed) { Tell(Protocol::XEmbed, managed); });
}

void TrayHost::Tell(Protocol kind, bool there) {
    bool& known = kind == Protocol::StatusNotifierItem ? statusNotifierHost_ : xembedTray_;
    if (std::exchange(known, there) != there) {
        emit Changed();
    }
}

}  // namespace velmora
