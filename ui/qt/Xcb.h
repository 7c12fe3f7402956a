#pragma once

namespace velmora {

// Whether an XEmbed tray manages the X screen (owns its _NET_SYSTEM_TRAY_S<n> selection); never on
// other platforms. libxcb is asked where Qt's X11 platform plugin loaded it: this keeps the X
// libraries out of the link of a program that may as well run on Wayland.
bool XEmbedTrayManaged();

}  // namespace velmora
