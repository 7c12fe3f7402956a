// Feeds arbitrary extension fields through the NTS reply path of the client, over a scripted
// binding and a session whose keys the fuzzer knows, and checks that nothing but an answer
// sealed with the server's key and naming the request is taken, and that the cookies it brings
// stay within bounds.
//
// Input: byte 0 says what is put around the fuzzed fields (bit 0: the request's unique
// identifier first; bit 1: a valid authenticator after them, sealing byte 1.. as its plaintext
// when bit 2 is set); the rest, up to 1500 bytes, is the fields.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/SNTPsend.h"
#include "net/nts/NtsExtensions.h"
#include "net/nts/NtsRecords.h"
#include "net/nts/NtsSessions.h"
#include "tests/fixtures/SocketFakeApi.h"

namespace {

using velmora::ExtensionField;
using velmora::SocketFakeApi;

constexpr std::size_t kMaxFields = 1500;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

velmora::NtsSession Session() {
    velmora::NtsSession session;
    session.c2s.fill(1);
    session.s2c.fill(2);
    session.cookies.assign(3, std::string(40, 'k'));
    session.ntpHost = "127.0.0.2";
    return session;
}

// The header of a valid answer to `request`.
std::string Header(const std::string& request) {
    std::string header(48, '\0');
    header[0] = 0x24;
    header[1] = 1;
    header.replace(24, 8, request, 40, 8);
    header.replace(32, 8, "\xE8\x75\x47\x00\x00\x00\x00\x00", 8);
    header.replace(40, 8, "\xE8\x75\x47\x01\x00\x00\x00\x00", 8);
    return header;
}

std::string UniqueIdOf(const std::string& request) {
    const auto fields = velmora::ParseExtensionFields(request, 48);
    Require(fields && !fields->empty() &&
            (*fields)[0].type == velmora::ntsfield::kUniqueIdentifier);
    return std::string((*fields)[0].body);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::uint8_t how = data[0];
    const std::string fields(reinterpret_cast<const char*>(data + 1),
                             std::min(size - 1, kMaxFields));
    SocketFakeApi api;
    velmora::NtsSessions sessions;
    const velmora::NtsSession session = Session();
    sessions.Keep("10.0.0.1:4460", session);
    velmora::TSNTPSend client(
        api, [] { return 45000.25; }, sessions);
    client.ServerHost = "nts://10.0.0.1";
    client.ReplyTimeout = 1000;

    api.OnSend = [&](const SocketFakeApi::Datagram& sent) {
        std::string reply = Header(sent.bytes);
        if ((how & 1) != 0) {
            reply += velmora::MakeExtensionField(velmora::ntsfield::kUniqueIdentifier,
                                                 UniqueIdOf(sent.bytes));
        }
        reply += fields;
        if ((how & 2) != 0) {
            reply += velmora::NtsAuthenticator(reply, std::string(16, 'n'),
                                               (how & 4) != 0 ? fields : "", session.s2c);
        }
        api.Deliver(reply, "127.0.0.2", 123);
    };

    const bool accepted = client.QueryServer();
    // Without the server's key nothing can pass for its answer.
    Require(!accepted || (how & 2) != 0);
    if (const auto kept = sessions.Take("10.0.0.1:4460")) {
        Require(kept->cookies.size() <= velmora::ntske::kMaxCookies);
        for (const std::string& cookie : kept->cookies) {
            Require(!cookie.empty() && cookie.size() <= velmora::ntske::kMaxCookieSize);
        }
    }
    return 0;
}
