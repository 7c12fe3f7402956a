#pragma once

struct xcb_connection_t;

namespace velmora {

// The X connection of Qt's X11 platform; null on other platforms.
xcb_connection_t* XcbConnection();
// A function of libxcb, found where Qt's X11 platform plugin loaded it: this keeps the X
// libraries out of the link of a program that may as well run on Wayland. Null when not loaded.
void* XcbSymbol(const char* name);

// Whether an XEmbed tray manages the X screen (owns its _NET_SYSTEM_TRAY_S<n> selection); never on
// other platforms.
bool XEmbedTrayManaged();

}  // namespace velmora
