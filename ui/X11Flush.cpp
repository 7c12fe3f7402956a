#include "ui/X11Flush.h"

#include <dlfcn.h>

#include <QGuiApplication>

namespace velmora {

void FlushWindowSystem() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
        return;
    }
    // libxcb is loaded with Qt's X11 platform plugin; looking it up there keeps the X libraries
    // out of the link of a program that may as well run on Wayland.
    using Flush = int (*)(xcb_connection_t*);
    static const auto flush = reinterpret_cast<Flush>(dlsym(RTLD_DEFAULT, "xcb_flush"));
    if (flush) {
        flush(x11->connection());
    }
}

}  // namespace velmora
