#pragma once

namespace velmora {

// The notification area the program's icon lives in. Qt hands the icon to a StatusNotifierItem
// host over D-Bus when one is registered as the icon is made, and to an XEmbed tray otherwise;
// that choice holds for the life of the process.
class TrayHost {
  public:
    enum class Protocol { XEmbed, StatusNotifierItem };

    // Decides as Qt does, so it must be made right before the platform icon.
    TrayHost();

    Protocol Kind() const { return kind_; }
    // Whether a host shows the icon now.
    bool Available() const;

  private:
    Protocol kind_;
};

}  // namespace velmora
