// Feeds arbitrary bytes to the reader of a key-exchange server's records, as they might arrive
// over TLS in any number of pieces, and checks that whatever it grants is within bounds.
//
// Input: byte 0 is where the bytes are cut in two (as two reads); the rest is the response.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/nts/NtsRecords.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t cut = std::min<std::size_t>(data[0], bytes.size());
    velmora::NtsKeResponse first;
    const auto early = velmora::ParseNtsKeResponse(bytes.substr(0, cut), first);
    velmora::NtsKeResponse response;
    const auto status = velmora::ParseNtsKeResponse(bytes, response);
    // A verdict on a prefix stands once the end of message has been read.
    Require(early == velmora::NtsKeStatus::kIncomplete || early == status);
    if (status == velmora::NtsKeStatus::kComplete) {
        Require(!response.cookies.empty() &&
                response.cookies.size() <= velmora::ntske::kMaxCookies);
        for (const std::string& cookie : response.cookies) {
            Require(!cookie.empty() && cookie.size() <= velmora::ntske::kMaxCookieSize);
        }
        Require(response.server.size() <= 255);
    }
    return 0;
}
