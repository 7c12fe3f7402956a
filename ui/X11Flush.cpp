#include "ui/X11Flush.h"

#include "ui/Xcb.h"

namespace velmora {

void FlushWindowSystem() {
    using Flush = int (*)(xcb_connection_t*);
    static const auto flush = reinterpret_cast<Flush>(XcbSymbol("xcb_flush"));
    xcb_connection_t* connection = XcbConnection();
    if (flush && connection) {
        flush(connection);
    }
}

}  // namespace velmora
