#pragma once

namespace velmora {

// Sends whatever requests are waiting in the X connection to the server now, without processing
// a single event; nothing happens on other platforms.
void FlushWindowSystem();

}  // namespace velmora
