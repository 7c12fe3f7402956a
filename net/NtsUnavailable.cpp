#include "net/SNTPsend.h"

namespace velmora {

// A build without a TLS library has no Network Time Security: an NTS entry fails at once, saying
// so, and is never asked without it.
bool TSNTPSend::QueryNts(const Deadline&) {
    notAvailable_ = "Network Time Security is not available in the Windows version";
    return false;
}

}  // namespace velmora
