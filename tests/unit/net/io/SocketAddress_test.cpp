#include "net/io/SocketAddress.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(SocketAddress, LiteralsOfBothFamiliesAndNothingElse) {
    struct Case {
        const char* text;
        int family;
        const char* shown;  // Text() of the result
    };
    for (const Case& c : {Case{"192.0.2.1", AF_INET, "192.0.2.1"}, Case{"::1", AF_INET6, "::1"},
                          Case{"[2001:db8::1]", AF_INET6, "2001:db8::1"},
                          Case{"2001:DB8:0::1", AF_INET6, "2001:db8::1"},
                          Case{"fe80::1%7", AF_INET6, "fe80::1%7"}}) {
        const auto address = SocketAddress::FromText(c.text);
        ASSERT_TRUE(address) << c.text;
        EXPECT_EQ(address->Family(), c.family) << c.text;
        EXPECT_EQ(address->Text(), c.shown) << c.text;
        EXPECT_EQ(address->Port(), 0) << c.text;
    }
    for (const char* name : {"time.example", "", "[192.0.2.1]", "[::1", "::1]", "1.2.3", "::g",
                             "fe80::1%", "fe80::1%no-such-interface"}) {
        EXPECT_FALSE(SocketAddress::FromText(name)) << name;
    }
}

// The scope of a link-local address may name its interface, by the system's name for it ("lo"
// on Linux, "loopback_0" on Windows).
TEST(SocketAddress, AScopeMayNameItsInterface) {
    char name[IF_NAMESIZE] = {};
    ASSERT_NE(if_indextoname(1, name), nullptr);
    const auto address = SocketAddress::FromText("[fe80::1%" + std::string(name) + "]");
    ASSERT_TRUE(address) << name;
    EXPECT_EQ(address->Text(), "fe80::1%1");
}

// A dual-stack socket reports an IPv4 sender as ::ffff:a.b.c.d; it must equal the address asked.
TEST(SocketAddress, IsIpv4WhereverASocketMapsIt) {
    const SocketAddress asked = SocketAddress::Ipv4(htonl(0x7F000002), htons(123));
    const SocketAddress mapped = asked.ForSocketFamily(AF_INET6);
    EXPECT_EQ(mapped.Family(), AF_INET6);
    EXPECT_EQ(mapped.Text(), "::ffff:127.0.0.2");
    EXPECT_EQ(asked.ForSocketFamily(AF_INET), asked);
    const auto back = SocketAddress::FromSystem(mapped.Raw(), mapped.Size());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, asked);

    SocketAddress otherPort = asked;
    otherPort.SetPort(htons(124));
    EXPECT_FALSE(otherPort == asked);
    const SocketAddress v6 = *SocketAddress::FromText("::1");
    EXPECT_FALSE(v6 == SocketAddress::Ipv4(htonl(0x7F000001)));
    EXPECT_FALSE(SocketAddress::FromSystem(asked.Raw(), asked.Size() - 1));
}

}  // namespace
}  // namespace velmora
