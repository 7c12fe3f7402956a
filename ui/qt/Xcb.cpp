#include "ui/qt/Xcb.h"

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace velmora {

namespace {

// The X connection of Qt's X11 platform; null on other platforms.
xcb_connection_t* XcbConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// A function of libxcb; null when Qt has not loaded it.
template <class Function>
Function* Xcb(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_DEFAULT, name));
}

template <class Reply>
using XcbReply = std::unique_ptr<Reply, void (*)(void*)>;

// The screen of DISPLAY (":0.1" is screen 1); the first one unless it names another.
int ScreenNumber() {
    const QByteArray display = qgetenv("DISPLAY");
    const int colon = display.lastIndexOf(':');
    const int dot = colon < 0 ? -1 : display.indexOf('.', colon);
    return dot < 0 ? 0 : display.mid(dot + 1).toInt();
}

}  // namespace

bool XEmbedTrayManaged() {
    xcb_connection_t* connection = XcbConnection();
    auto* intern = Xcb<decltype(xcb_intern_atom)>("xcb_intern_atom");
    auto* internReply = Xcb<decltype(xcb_intern_atom_reply)>("xcb_intern_atom_reply");
    auto* owner = Xcb<decltype(xcb_get_selection_owner)>("xcb_get_selection_owner");
    auto* ownerReply =
        Xcb<decltype(xcb_get_selection_owner_reply)>("xcb_get_selection_owner_reply");
    if (!connection || !intern || !internReply || !owner || !ownerReply) {
        return false;
    }
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(ScreenNumber());
    // Nobody can own a selection whose name the server has never heard of.
    const XcbReply<xcb_intern_atom_reply_t> atom(
        internReply(connection, intern(connection, 1, name.size(), name.constData()), nullptr),
        std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return false;
    }
    const XcbReply<xcb_get_selection_owner_reply_t> selection(
        ownerReply(connection, owner(connection, atom->atom), nullptr), std::free);
    return selection && selection->owner != XCB_WINDOW_NONE;
}

}  // namespace velmora
