#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "net/io/SocketAddress.h"

namespace velmora {

// One lookup of a name's IPv4 and IPv6 addresses that, once started, runs on by itself until
// the resolver answers or gives up, whoever still waits for it. The platform's binding makes it
// (net/io/linux, net/io/windows); it may be waited for from any thread.
class NameLookup {
  public:
    virtual ~NameLookup() = default;
    // Never blocks.
    virtual bool Running() = 0;
    // Waits until the lookup has ended, or for `timeoutMilliseconds` (-1: no limit); true when
    // it has ended. Signals do not cut the wait short.
    virtual bool Await(std::int32_t timeoutMilliseconds) = 0;
    // Once it has ended: 0 with `addresses` set, or the lookup's error, a Windows Sockets number.
    virtual int Result(std::vector<SocketAddress>& addresses) = 0;
};

// Starts the lookup of `name`; nothing, with `status` (a Windows Sockets number) saying why, when
// it cannot be started.
std::shared_ptr<NameLookup> StartNameLookup(const std::string& name, int& status);

// The system's hosts file (/etc/hosts, %SystemRoot%\System32\drivers\etc\hosts).
std::filesystem::path HostsFile();

// Each address of a system's answer once, port 0, in the order given.
template <typename AddressInfo>
std::vector<SocketAddress> AddressesOf(const AddressInfo* list) {
    std::vector<SocketAddress> addresses;
    for (const AddressInfo* item = list; item != nullptr; item = item->ai_next) {
        auto address =
            SocketAddress::FromSystem(item->ai_addr, static_cast<socklen_t>(item->ai_addrlen));
        if (!address) {
            continue;
        }
        address->SetPort(0);
        if (std::find(addresses.begin(), addresses.end(), *address) == addresses.end()) {
            addresses.push_back(*address);
        }
    }
    return addresses;
}

}  // namespace velmora
