#include "net/io/SocketAddress.h"

#include <charconv>
#include <cstring>

namespace velmora {

namespace {

// The scope of a link-local address: an interface number or name; nothing when unknown.
std::optional<std::uint32_t> Scope(const std::string& text) {
    std::uint32_t number = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, number);
    if (!text.empty() && error == std::errc{} && end == last) {
        return number;
    }
    const unsigned index = text.empty() ? 0 : ::if_nametoindex(text.c_str());
    return index != 0 ? std::optional<std::uint32_t>(index) : std::nullopt;
}

std::optional<SocketAddress> Ipv6FromText(const std::string& text) {
    const std::size_t percent = text.find('%');
    in6_addr address{};
    if (::inet_pton(AF_INET6, text.substr(0, percent).c_str(), &address) != 1) {
        return std::nullopt;
    }
    if (percent == std::string::npos) {
        return SocketAddress::Ipv6(address);
    }
    const std::optional<std::uint32_t> scope = Scope(text.substr(percent + 1));
    return scope ? std::optional(SocketAddress::Ipv6(address, 0, *scope)) : std::nullopt;
}

}  // namespace

SocketAddress::SocketAddress() {
    std::memset(&address_, 0, sizeof address_);
}

SocketAddress SocketAddress::Ipv4(std::uint32_t address, std::uint16_t port) {
    SocketAddress result;
    result.address_.v4.sin_family = AF_INET;
    result.address_.v4.sin_port = port;
    result.address_.v4.sin_addr.s_addr = address;
    return result;
}

SocketAddress SocketAddress::Ipv6(const in6_addr& address, std::uint16_t port,
                                  std::uint32_t scope) {
    SocketAddress result;
    result.address_.v6.sin6_family = AF_INET6;
    result.address_.v6.sin6_port = port;
    result.address_.v6.sin6_addr = address;
    result.address_.v6.sin6_scope_id = scope;
    return result;
}

std::optional<SocketAddress> SocketAddress::FromSystem(const sockaddr* address, socklen_t size) {
    if (address == nullptr) {
        return std::nullopt;
    }
    if (address->sa_family == AF_INET && size >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
        sockaddr_in v4{};
        std::memcpy(&v4, address, sizeof v4);
        return Ipv4(v4.sin_addr.s_addr, v4.sin_port);
    }
    if (address->sa_family != AF_INET6 || size < static_cast<socklen_t>(sizeof(sockaddr_in6))) {
        return std::nullopt;
    }
    sockaddr_in6 v6{};
    std::memcpy(&v6, address, sizeof v6);
    if (IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr)) {
        std::uint32_t v4 = 0;
        std::memcpy(&v4, &v6.sin6_addr.s6_addr[12], sizeof v4);
        return Ipv4(v4, v6.sin6_port);
    }
    return Ipv6(v6.sin6_addr, v6.sin6_port, v6.sin6_scope_id);
}

std::optional<SocketAddress> SocketAddress::FromText(const std::string& text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        return Ipv6FromText(text.substr(1, text.size() - 2));
    }
    in_addr v4{};
    if (::inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        return Ipv4(v4.s_addr);
    }
    return Ipv6FromText(text);
}

std::uint32_t SocketAddress::Ipv4Address() const {
    return Family() == AF_INET ? address_.v4.sin_addr.s_addr : 0;
}

SocketAddress SocketAddress::ForSocketFamily(int family) const {
    if (family != AF_INET6 || Family() != AF_INET) {
        return *this;
    }
    in6_addr mapped{};
    mapped.s6_addr[10] = 0xFF;
    mapped.s6_addr[11] = 0xFF;
    std::memcpy(&mapped.s6_addr[12], &address_.v4.sin_addr.s_addr, 4);
    return Ipv6(mapped, Port());
}

socklen_t SocketAddress::Size() const {
    return Family() == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

std::string SocketAddress::Text() const {
    char text[INET6_ADDRSTRLEN] = {};
    if (Family() == AF_INET) {
        ::inet_ntop(AF_INET, &address_.v4.sin_addr, text, sizeof text);
        return text;
    }
    if (Family() != AF_INET6) {
        return "";
    }
    ::inet_ntop(AF_INET6, &address_.v6.sin6_addr, text, sizeof text);
    const std::uint32_t scope = address_.v6.sin6_scope_id;
    return scope == 0 ? std::string(text) : std::string(text) + "%" + std::to_string(scope);
}

bool operator==(const SocketAddress& a, const SocketAddress& b) {
    if (a.Family() != b.Family() || a.Port() != b.Port()) {
        return false;
    }
    if (a.Family() == AF_INET) {
        return a.address_.v4.sin_addr.s_addr == b.address_.v4.sin_addr.s_addr;
    }
    if (a.Family() == AF_INET6) {
        return std::memcmp(&a.address_.v6.sin6_addr, &b.address_.v6.sin6_addr, sizeof(in6_addr)) ==
                   0 &&
               a.address_.v6.sin6_scope_id == b.address_.v6.sin6_scope_id;
    }
    return true;
}

}  // namespace velmora
