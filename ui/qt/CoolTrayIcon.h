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
#include <cstdint>
#include <functional>
#include <memory>

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
class TCoolTrayIcon : public QObject {
    Q_OBJECT

  public:
    // When the tray is first looked for: at once, or once the owner has first drawn, so that a
    // start shows its window without first waiting for the session bus and the tray.
    enum class Look { AtOnce, AfterFirstDraw };

    explicit TCoolTrayIcon(QWidget* owner,
                           std::unique_ptr<TrayHost> host = std::make_unique<TrayHost>(),
                           Look look = Look::AtOnce);
    ~TCoolTrayIcon() override;

    // When false, every mouse action on the icon is ignored.
    bool Enabled = true;
    // The menu opened at the pointer on right button down; not owned, cleared when destroyed.
    QPointer<QMenu> PopupMenu;
    bool MinimizeToTray = false;
    // Raised with the component as sender on a double click; unassigned = not raised.
    std::function<void(QObject* sender)> OnDblClick;
    // Milliseconds; kept only, icons never cycle here.
    std::uint32_t CycleInterval = 0;

    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& icon);
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    // Not owned; cleared when the list is destroyed (the icon keeps the last image copied).
    TImageList* IconList() const { return iconList_; }
    void SetIconList(TImageList* list);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);

    // After the owner has set the properties and references: the icon is refreshed and put in the
    // tray (or kept out of it) once more, with everything in place.
    void Loaded();

    // The menu's own auto-popup flag (on unless switched off here).
    static void SetAutoPopup(QMenu* menu, bool autoPopup);
    static bool AutoPopup(const QMenu* menu);

    // Each returns whether the tray host took the call; nobody needs to look, and the setters
    // above never ask, since each answer costs a round trip to the tray.
    virtual bool AddToTray();
    virtual bool RemoveFromTray();
    virtual bool UpdateInTray();

    // Looks for the tray now, unless it has been looked for already: a window that starts hidden
    // in the tray needs the answer before it is shown.
    void LookForTray();

    void RestoreMainWindow();
    // Hides the main window into the tray, and brings it back should the tray host go away
    // meanwhile: a window hidden in no tray could never be found again.
    void HideMainWindow();
    void HideAppButton();

    // Lines the tip shows after the hint (what the time shown is worth).
    void SetTipDetails(const QString& details);
    // A desktop notification from the icon (freedesktop notifications on a StatusNotifierItem
    // host, the tray's own balloon on an XEmbed one).
    void ShowMessage(const QString& title, const QString& text);

    // The tip text handed to the tray host (ui/common/TrayTip.h).
    QString TipText() const;
    // Whether a tray shows the icon now; without one the window is never hidden into it.
    bool TrayAvailable() const;
    TrayHost::Protocol TrayProtocol() const { return host_->Kind(); }
    // The platform icon, for probes and tests; null until a tray has been there.
    const QSystemTrayIcon* Tray() const { return tray_.get(); }

  protected:
    virtual void FireDblClick();
    virtual void SendToTray();

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void MakeTrayIcon();
    void TrayActivated(QSystemTrayIcon::ActivationReason reason);
    void OpenTrayMenu();
    void RunDefaultItem();
    void FillNotifyData();
    // What AddToTray and RemoveFromTray do, without asking the tray whether it took it.
    void ShowInTray(bool visible);
    void OwnerStateChanged();
    void CheckTrayHost();
    void TrayHostChanged();

    QPointer<QWidget> owner_;
    std::unique_ptr<TrayHost> host_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    // A tray that has just come is given a moment to offer both kinds (one panel may host both)
    // before the icon's kind is settled: it was there at the last look too.
    bool traySeen_ = false;
    bool looked_ = false;
    bool awaitingFirstDraw_ = false;
    // The main window went into the tray and has not come back yet.
    bool hiddenInTray_ = false;
    QIcon icon_;
    bool iconVisible_ = false;
    QString hint_;
    bool showHint_ = true;
    QString tipDetails_;
    QPointer<TImageList> iconList_;
    QMetaObject::Connection iconListGone_;
    int iconIndex_ = 0;
    // Runs while no tray has been there yet; after that the tray tells when it goes.
    QTimer trayHostCheck_;
};

}  // namespace velmora
