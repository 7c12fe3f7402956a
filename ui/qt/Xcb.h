#pragma once

#include <QAbstractNativeEventFilter>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace velmora {

// Whether an XEmbed tray manages the X screen (owns its _NET_SYSTEM_TRAY_S<n> selection); never on
// other platforms. libxcb is asked where Qt's X11 platform plugin loaded it: this keeps the X
// libraries out of the link of a program that may as well run on Wayland.
bool XEmbedTrayManaged();

// Tells whenever the XEmbed tray of the X screen comes or goes, from the X server itself: XFixes
// reports every change of the tray selection's owner, on Qt's own X connection. A server without
// XFixes is asked once a second instead; other platforms have no such tray.
class XEmbedTrayWatch : public QAbstractNativeEventFilter {
  public:
    explicit XEmbedTrayWatch(std::function<void(bool managed)> changed);
    ~XEmbedTrayWatch() override;
    XEmbedTrayWatch(const XEmbedTrayWatch&) = delete;
    XEmbedTrayWatch& operator=(const XEmbedTrayWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  private:
    bool Follow();

    std::function<void(bool)> changed_;
    // The tray selection's atom, and the event number XFixes tells its changes with.
    std::uint32_t selection_ = 0;
    std::uint8_t selectionNotify_ = 0;
    QTimer ask_;
    bool managed_ = false;
};

}  // namespace velmora
