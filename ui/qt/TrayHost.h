#pragma once

#include <QObject>
#include <memory>

namespace velmora {

class StatusNotifierWatch;
class XEmbedTrayWatch;

// The notification area the program's icon lives in: an XEmbed tray (X11 only) or a
// StatusNotifierItem host (over D-Bus, on X11 and Wayland). Qt hands a new icon to a
// StatusNotifierItem host when one is registered at the first look, and to an XEmbed tray
// otherwise, and keeps that first answer for the life of the process; an answer taken while no
// tray is there would keep the icon out of every tray that comes later. So the trays are looked
// for here, without asking Qt, and the icon is made only once one is there.
//
// After the first look the trays tell of their own coming and going (the X server of the tray
// selection's owner, the bus and the watcher of hosts), and what they told is what the questions
// below answer: none of them waits for a tray. A busy watcher that is slow to answer never reads
// as a tray gone.
class TrayHost : public QObject {
    Q_OBJECT

  public:
    enum class Protocol { XEmbed, StatusNotifierItem };

    explicit TrayHost(QObject* parent = nullptr);
    ~TrayHost() override;

    // Whether a tray of either kind is there.
    bool Present() const { return statusNotifierHost_ || xembedTray_; }
    // Takes the kind Qt gives an icon made now; call it right before making the icon.
    void Decide();
    Protocol Kind() const { return kind_; }
    // Whether a tray of the icon's kind shows it.
    bool Available() const;

    // Asks both kinds now and waits for the answers (a watcher gets half a second); the first
    // look also starts following the trays.
    virtual void Look();
    // Asks again without waiting; the answers come as Changed.
    virtual void LookAgain();

  signals:
    // A tray of either kind came or went.
    void Changed();

  protected:
    // What a tray of KIND has told, or an answer about it.
    void Tell(Protocol kind, bool there);

  private:
    void Follow();

    Protocol kind_ = Protocol::XEmbed;
    bool statusNotifierHost_ = false;
    bool xembedTray_ = false;
    std::unique_ptr<StatusNotifierWatch> statusNotifier_;
    std::unique_ptr<XEmbedTrayWatch> xembed_;
};

}  // namespace velmora
