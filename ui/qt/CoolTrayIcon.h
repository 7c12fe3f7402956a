#pragma once

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "ui/common/TrayIconRules.h"
#include "ui/qt/TrayHost.h"

namespace velmora {

// The program's tray picture (16 x 16), a resource of this library; TApplication makes it
// available.
inline constexpr const char* kTrayImage = ":/tray/tray.png";

// A list of equally sized images, owned by a window; the tray icon copies one of them.
class TImageList : public QObject {
    Q_OBJECT

  public:
    explicit TImageList(QObject* owner = nullptr);

    int Count() const { return static_cast<int>(images_.size()); }
    void Add(const QIcon& image);
    // The image at `index`, or a null icon when there is none.
    QIcon GetIcon(int index) const;

  private:
    QList<QIcon> images_;
};

// The program's icon in the notification area, with its tip, its double click, its popup menu on
// the right button, and the main window's minimize to tray. The owner is the main window.
//
// A StatusNotifierItem host has no double click and draws the menu itself: there the host's
// activation stands for the double click, and the menu is handed to the host.
//
// The platform icon is made once a tray is there, at once or whenever one comes later (a panel
// often starts after the programs of the logon); until then everything set here is kept for it,
// and the main window is never hidden, since no tray could give it back.
class TCoolTrayIcon : public QObject, public TrayIconRules {
    Q_OBJECT

  public:
    // When the tray is first looked for: at once, or once the owner has first drawn, so that a
    // start shows its window without first waiting for the session bus and the tray.
    enum class Look { AtOnce, AfterFirstDraw };

    explicit TCoolTrayIcon(QWidget* owner,
                           std::unique_ptr<TrayHost> host = std::make_unique<TrayHost>(),
                           Look look = Look::AtOnce);
    ~TCoolTrayIcon() override;

    // The menu opened at the pointer on right button down; not owned, cleared when destroyed.
    QPointer<QMenu> PopupMenu;

    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    // Not owned; cleared when the list is destroyed (the icon keeps the last image copied).
    TImageList* IconList() const { return iconList_; }
    void SetIconList(TImageList* list);

    // After the owner has set the properties and references: the icon is refreshed and put in the
    // tray (or kept out of it) once more, with everything in place.
    void Loaded();

    // The menu's own auto-popup flag (on unless switched off here).
    static void SetAutoPopup(QMenu* menu, bool autoPopup);
    static bool AutoPopup(const QMenu* menu);

    // The setters never ask the tray host, since each answer costs a round trip to the tray.
    bool AddToTray() override;
    bool RemoveFromTray() override;
    bool UpdateInTray() override;
    bool TrayAvailable() const override;

    // Looks for the tray now, unless it has been looked for already: a window that starts hidden
    // in the tray needs the answer before it is shown.
    void LookForTray();

    // A desktop notification from the icon (freedesktop notifications on a StatusNotifierItem
    // host, the tray's own balloon on an XEmbed one).
    void ShowMessage(const std::string& title, const std::string& text) override;

    TrayHost::Protocol TrayProtocol() const { return host_->Kind(); }
    // The platform icon, for probes and tests; null until a tray has been there.
    const QSystemTrayIcon* Tray() const { return tray_.get(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool HasOwner() const override { return owner_ != nullptr; }
    bool OwnerVisible() const override { return owner_->isVisible(); }
    bool OwnerMinimized() const override { return owner_->isMinimized(); }
    void ShowOwner() override;
    void HideOwner() override { owner_->hide(); }
    int ImageCount() const override { return iconList_ ? iconList_->Count() : 0; }
    void TakeImage(int index) override { icon_ = iconList_->GetIcon(index); }
    void OpenTrayMenu() override;
    void RunDefaultItem() override;

    void MakeTrayIcon();
    void TrayActivated(QSystemTrayIcon::ActivationReason reason);
    void FillNotifyData();
    // What AddToTray and RemoveFromTray do, without asking the tray whether it took it.
    void ShowInTray(bool visible);
    void CheckTrayHost();

    QPointer<QWidget> owner_;
    std::unique_ptr<TrayHost> host_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    // A tray that has just come is given a moment to offer both kinds (one panel may host both)
    // before the icon's kind is settled: it was there at the last look too.
    bool traySeen_ = false;
    bool looked_ = false;
    bool awaitingFirstDraw_ = false;
    QIcon icon_;
    QPointer<TImageList> iconList_;
    QMetaObject::Connection iconListGone_;
    // Runs while no tray has been there yet; after that the tray tells when it goes.
    QTimer trayHostCheck_;
};

}  // namespace velmora
