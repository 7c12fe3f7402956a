#include "ui/qt/CoolTrayIcon.h"

#include "ui/qt/Application.h"

#include <QCursor>
#include <QEvent>
#include <QTimer>
#include <QVariant>
#include <utility>

namespace velmora {

namespace {

constexpr const char* kAutoPopupProperty = "AutoPopup";
// How often a tray is looked for while none has been there.
constexpr int kTrayHostCheckMs = 1000;
// A window that is never drawn (covered, say) does not keep the tray waiting longer than this.
constexpr int kFirstDrawWaitMs = 500;

}  // namespace

TImageList::TImageList(QObject* owner) : QObject(owner) {}

void TImageList::Add(const QIcon& image) {
    images_.append(image);
}

QIcon TImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return images_[index];
}

TCoolTrayIcon::TCoolTrayIcon(QWidget* owner, std::unique_ptr<TrayHost> host, Look look)
    : QObject(owner), owner_(owner), host_(std::move(host)) {
    trayHostCheck_.setInterval(kTrayHostCheckMs);
    connect(&trayHostCheck_, &QTimer::timeout, this, &TCoolTrayIcon::CheckTrayHost);
    connect(host_.get(), &TrayHost::Changed, this, [this] { TrayGone(); });
    if (owner_) {
        owner_->installEventFilter(this);
    }
    if (look == Look::AfterFirstDraw && owner_) {
        awaitingFirstDraw_ = true;
        QTimer::singleShot(kFirstDrawWaitMs, this, &TCoolTrayIcon::LookForTray);
    } else {
        LookForTray();
    }
}

void TCoolTrayIcon::LookForTray() {
    awaitingFirstDraw_ = false;
    if (std::exchange(looked_, true)) {
        return;
    }
    host_->Look();
    if (host_->Present()) {
        MakeTrayIcon();
    } else {
        trayHostCheck_.start();
    }
}

TCoolTrayIcon::~TCoolTrayIcon() {
    // The icon leaves the tray with its component.
    ShowInTray(false);
    if (owner_) {
        owner_->removeEventFilter(this);
    }
}

void TCoolTrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    FillNotifyData();
}

void TCoolTrayIcon::SetIconList(TImageList* list) {
    disconnect(iconListGone_);
    iconList_ = list;
    if (list) {
        iconListGone_ = connect(list, &QObject::destroyed, this, [this] { SetIconList(nullptr); });
    }
    SetIconIndex(0);
}

void TCoolTrayIcon::Loaded() {
    ShowInTray(IconVisible());
}

void TCoolTrayIcon::SetAutoPopup(QMenu* menu, bool autoPopup) {
    if (menu) {
        menu->setProperty(kAutoPopupProperty, autoPopup);
    }
}

bool TCoolTrayIcon::AutoPopup(const QMenu* menu) {
    const QVariant flag = menu ? menu->property(kAutoPopupProperty) : QVariant();
    return !flag.isValid() || flag.toBool();
}

void TCoolTrayIcon::ShowMessage(const std::string& title, const std::string& text) {
    // Without a tray yet there is no icon to speak from.
    if (tray_) {
        tray_->showMessage(QString::fromStdString(title), QString::fromStdString(text),
                           QSystemTrayIcon::Warning);
    }
}

void TCoolTrayIcon::FillNotifyData() {
    if (!tray_) {
        return;
    }
    // Only what changed: a StatusNotifierItem host hears of every setting, and some hosts lose
    // track of an item that keeps announcing a new icon.
    if (tray_->icon().cacheKey() != icon_.cacheKey()) {
        tray_->setIcon(icon_);
    }
    const QString tip = QString::fromStdString(TipText());
    if (tray_->toolTip() != tip) {
        tray_->setToolTip(tip);
    }
    // An XEmbed tray would open a menu of its own besides ours, on the same click.
    QMenu* hostMenu =
        TrayProtocol() == TrayHost::Protocol::StatusNotifierItem ? PopupMenu : nullptr;
    if (tray_->contextMenu() != hostMenu) {
        tray_->setContextMenu(hostMenu);
    }
}

bool TCoolTrayIcon::AddToTray() {
    ShowInTray(true);
    return TrayAvailable();
}

bool TCoolTrayIcon::RemoveFromTray() {
    ShowInTray(false);
    return TrayAvailable();
}

void TCoolTrayIcon::ShowInTray(bool visible) {
    SetShownInTray(visible);
    FillNotifyData();
    if (tray_) {
        tray_->setVisible(visible);
    }
}

void TCoolTrayIcon::MakeTrayIcon() {
    host_->Decide();
    tray_ = std::make_unique<QSystemTrayIcon>();
    connect(tray_.get(), &QSystemTrayIcon::activated, this, &TCoolTrayIcon::TrayActivated);
    FillNotifyData();
    if (IconVisible()) {
        tray_->show();
    }
    TrayCame();
}

bool TCoolTrayIcon::UpdateInTray() {
    FillNotifyData();
    return IconVisible() && TrayAvailable();
}

void TCoolTrayIcon::ShowOwner() {
    if (owner_->isMinimized()) {
        owner_->setWindowState(owner_->windowState() & ~Qt::WindowMinimized);
    }
    owner_->show();
    owner_->raise();
    owner_->activateWindow();
}

void TCoolTrayIcon::CheckTrayHost() {
    const bool seen = std::exchange(traySeen_, host_->Present());
    if (seen && traySeen_) {
        trayHostCheck_.stop();
        MakeTrayIcon();
        return;
    }
    // The answer is there by the next look.
    host_->LookAgain();
}

bool TCoolTrayIcon::TrayAvailable() const {
    return tray_ && host_->Available();
}

void TCoolTrayIcon::TrayActivated(QSystemTrayIcon::ActivationReason reason) {
    // Reached from inside the platform icon's mouse handling, which must not see an exception.
    const bool restoreGesture = reason == QSystemTrayIcon::DoubleClick ||
                                (reason == QSystemTrayIcon::Trigger &&
                                 TrayProtocol() == TrayHost::Protocol::StatusNotifierItem);
    if (restoreGesture || reason == QSystemTrayIcon::Context) {
        TApplication::Guarded([this, restoreGesture] {
            Clicked(restoreGesture ? TrayGesture::Restore : TrayGesture::Menu);
        });
    }
}

void TCoolTrayIcon::OpenTrayMenu() {
    if (!PopupMenu || !AutoPopup(PopupMenu)) {
        return;
    }
    PopupMenu->popup(QCursor::pos());
}

void TCoolTrayIcon::RunDefaultItem() {
    if (PopupMenu && AutoPopup(PopupMenu) && PopupMenu->defaultAction()) {
        PopupMenu->defaultAction()->trigger();
    }
}

bool TCoolTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    // Only a window this icon hid, and that nobody has shown since, is the icon's to bring back:
    // the program hides it itself on the way out.
    if (watched == owner_ && event->type() == QEvent::Show) {
        OwnerShown();
    }
    if (watched == owner_ && awaitingFirstDraw_ && event->type() == QEvent::Paint) {
        // Right after the first picture has gone to the screen, not before it.
        awaitingFirstDraw_ = false;
        QTimer::singleShot(0, this, &TCoolTrayIcon::LookForTray);
    }
    // A window minimized before it is first shown goes to the tray when it shows.
    const bool watchedEvent =
        event->type() == QEvent::WindowStateChange || event->type() == QEvent::Show;
    if (watched == owner_ && watchedEvent) {
        // Hiding from inside the state change confuses some window managers; do it right after.
        QTimer::singleShot(0, this, [this] { OwnerStateChanged(); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace velmora
