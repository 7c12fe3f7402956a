#pragma once

namespace velmora {

// The notification area the program's icon lives in: an XEmbed tray (X11 only) or a
// StatusNotifierItem host (over D-Bus, on X11 and Wayland). Qt hands a new icon to a
// StatusNotifierItem host when one is registered at the first look, and to an XEmbed tray
// otherwise, and keeps that first answer for the life of the process; an answer taken while no
// tray is there would keep the icon out of every tray that comes later. So the trays are looked
// for here, without asking Qt, and the icon is made only once one is there.
class TrayHost {
  public:
    enum class Protocol { XEmbed, StatusNotifierItem };

    virtual ~TrayHost() = default;

    // Whether a tray of either kind is there now.
    bool Present() const;
    // Takes the kind Qt gives an icon made now; call it right before making the icon.
    void Decide();
    Protocol Kind() const { return kind_; }
    // Whether a tray of the icon's kind shows it now.
    bool Available() const;

  protected:
    // Whether a StatusNotifierItem watcher says a host shows its items.
    virtual bool StatusNotifierHostThere() const;
    // Whether an XEmbed tray manages the X screen (never on other platforms).
    virtual bool XEmbedTrayThere() const;

  private:
    Protocol kind_ = Protocol::XEmbed;
};

}  // namespace velmora
