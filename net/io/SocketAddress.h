#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "SystemSockets.h"

namespace velmora {

// One IPv4 or IPv6 address with a port, both in network byte order as on the wire. An IPv4
// address stays IPv4 here even where a socket that carries both families sees it as an
// IPv4-mapped IPv6 address: the binding maps it on the way out and back on the way in, so that
// an answer compares equal to the address that was asked.
class SocketAddress {
  public:
    // All zero: no family, as a record nothing was resolved into yet.
    SocketAddress();
    static SocketAddress Ipv4(std::uint32_t address, std::uint16_t port = 0);
    static SocketAddress Ipv6(const in6_addr& address, std::uint16_t port = 0,
                              std::uint32_t scope = 0);
    // What the system wrote; an IPv4-mapped IPv6 address comes back as IPv4. Nothing for another
    // family or a short record.
    static std::optional<SocketAddress> FromSystem(const sockaddr* address, socklen_t size);
    // A numeric address, never a name: "192.0.2.1", "2001:db8::1", "[2001:db8::1]", "fe80::1%2"
    // or "fe80::1%eth0". Port 0.
    static std::optional<SocketAddress> FromText(const std::string& text);

    int Family() const { return address_.v4.sin_family; }
    std::uint16_t Port() const { return address_.v4.sin_port; }
    void SetPort(std::uint16_t port) { address_.v4.sin_port = port; }
    // Network byte order; 0 for any other family.
    std::uint32_t Ipv4Address() const;
    // This address as a socket of `family` takes it: IPv4 mapped into IPv6 for an IPv6 socket.
    SocketAddress ForSocketFamily(int family) const;

    const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t Size() const;
    // The address alone, numeric, without brackets or port ("2001:db8::1", "fe80::1%2").
    std::string Text() const;

    friend bool operator==(const SocketAddress& a, const SocketAddress& b);

  private:
    // Both records begin with the family and the port, which may be read through either.
    union Record {
        sockaddr_in v4;
        sockaddr_in6 v6;
    } address_;
};

}  // namespace velmora
