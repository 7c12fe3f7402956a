#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "net/io/NameLookup.h"
#include "net/io/SocketAddress.h"

namespace velmora {

// How many lookups may be running at once, given-up ones included. A given-up lookup holds what
// the system answers it with (one of glibc's 20 getaddrinfo_a threads, a thread of ours on
// Windows) until the resolver gives up, 30 s or more; this many leave room for the lookups that
// end at once (the hosts file, a resolver that answers).
inline constexpr std::size_t kMaxLookupsRunning = 8;

// The lookups started, by name, until they are seen to have ended.
class LookupTable {
  public:
    using Starter = std::function<std::shared_ptr<NameLookup>(const std::string&, int&)>;

    LookupTable(Starter start, std::filesystem::path hostsFile);

    // The IPv4 and IPv6 addresses of `name` (port 0) in the resolver's order, with a time limit
    // (-1: none). Returns 0 with `addresses` set, or a Windows Sockets number: kTryAgain when the
    // limit passed first or when kMaxLookupsRunning lookups of other names are still running (a
    // name of the hosts file is then answered from that file), kNoData when the name has no
    // address, kInvalidArgument for a negative limit other than -1, or the lookup's own error.
    // A resolver that never answers costs the caller no more than the limit: the lookup is given
    // up and left to end in the background, and a later lookup of the same name waits for that
    // one instead of starting another.
    int LookUp(const std::string& name, std::int32_t timeoutMilliseconds,
               std::vector<SocketAddress>& addresses);
    // Lookups started that have not ended yet, given-up ones included.
    std::size_t Running();

  private:
    // The running lookup of `name`, else a new one; nothing, with `status` saying why, when too
    // many are running or the lookup cannot start.
    std::shared_ptr<NameLookup> Join(const std::string& name, int& status);
    // A lookup that has ended is let go of; it is freed once its last waiter has its result.
    void Reap();

    Starter start_;
    std::filesystem::path hostsFile_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<NameLookup>> lookups_;
};

// LookupTable::LookUp on the program's one table, over the platform's lookups.
int LookUpHost(const std::string& name, std::int32_t timeoutMilliseconds,
               std::vector<SocketAddress>& addresses);
// LookupTable::Running of that table.
std::size_t LookupsRunning();

}  // namespace velmora
