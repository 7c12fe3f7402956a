#include "net/io/HostLookup.h"

#include <netdb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>

namespace velmora {

namespace {

using SteadyClock = std::chrono::steady_clock;

// One asynchronous lookup: the resolver reads the name and hints, and writes the result, for as
// long as it runs, so all three live together, as long as anyone still holds the lookup.
struct Lookup {
    explicit Lookup(const std::string& host) : name(host) {
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        request.ar_name = name.c_str();
        request.ar_request = &hints;
    }
    ~Lookup() {
        if (request.ar_result != nullptr) {
            ::freeaddrinfo(request.ar_result);
        }
    }
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    bool Running() const { return ::gai_error(const_cast<gaicb*>(&request)) == EAI_INPROGRESS; }

    std::string name;
    addrinfo hints{};
    gaicb request{};
};

// The lookups started, by name, until they are seen to have ended.
class LookupTable {
  public:
    // The running lookup of `name`, else a new one; nothing, with `status` saying why, when too
    // many are running or the lookup cannot start.
    std::shared_ptr<Lookup> Join(const std::string& name, int& status) {
        std::lock_guard lock(mutex_);
        Reap();
        if (const auto found = lookups_.find(name); found != lookups_.end()) {
            return found->second;
        }
        if (lookups_.size() >= kMaxLookupsRunning) {
            status = EAI_AGAIN;
            return nullptr;
        }
        auto lookup = std::make_shared<Lookup>(name);
        gaicb* requests[] = {&lookup->request};
        status = ::getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr);
        if (status != 0) {
            return nullptr;
        }
        lookups_.emplace(name, lookup);
        return lookup;
    }

    std::size_t Running() {
        std::lock_guard lock(mutex_);
        Reap();
        return lookups_.size();
    }

  private:
    // A lookup that has ended is freed once its last waiter lets go of it.
    void Reap() {
        std::erase_if(lookups_, [](const auto& entry) { return !entry.second->Running(); });
    }

    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Lookup>> lookups_;
};

// Never destroyed: glibc's threads go on writing into the lookups it holds until they end,
// which may be after the process has begun to exit.
LookupTable& Table() {
    static LookupTable* const table = new LookupTable;
    return *table;
}

timespec Remaining(SteadyClock::time_point deadline) {
    const auto left = std::max<std::int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - SteadyClock::now()).count(),
        0);
    return timespec{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
}

// Waits for the lookup to end or the deadline to pass; signals do not cut the wait short.
int AwaitLookup(Lookup& lookup, std::int32_t timeoutMilliseconds) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    const gaicb* list[] = {&lookup.request};
    for (;;) {
        const int status = ::gai_error(&lookup.request);
        if (status != EAI_INPROGRESS) {
            return status;
        }
        timespec limit = Remaining(deadline);
        if (timeoutMilliseconds >= 0 && limit.tv_sec == 0 && limit.tv_nsec == 0) {
            return EAI_INPROGRESS;
        }
        ::gai_suspend(list, 1, timeoutMilliseconds >= 0 ? &limit : nullptr);
    }
}

constexpr const char* kHostsFile = "/etc/hosts";

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The addresses the hosts file gives `name`, in its order. Read only when the resolver's threads
// are taken: the name then needs no thread, as the C library would answer it from this file too.
std::vector<SocketAddress> HostsFileAddresses(const std::string& name) {
    std::vector<SocketAddress> addresses;
    std::ifstream hosts(kHostsFile);
    for (std::string line; std::getline(hosts, line);) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string text;
        fields >> text;
        const std::optional<SocketAddress> address = SocketAddress::FromText(text);
        for (std::string alias; address && fields >> alias;) {
            if (SameName(alias, name) &&
                std::find(addresses.begin(), addresses.end(), *address) == addresses.end()) {
                addresses.push_back(*address);
            }
        }
    }
    return addresses;
}

// Each address once, in the order given.
std::vector<SocketAddress> Addresses(const addrinfo* list) {
    std::vector<SocketAddress> addresses;
    for (const addrinfo* item = list; item != nullptr; item = item->ai_next) {
        auto address = SocketAddress::FromSystem(item->ai_addr, item->ai_addrlen);
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

}  // namespace

int LookUpHost(const std::string& name, std::int32_t timeoutMilliseconds,
               std::vector<SocketAddress>& addresses) {
    int status = 0;
    const std::shared_ptr<Lookup> lookup = Table().Join(name, status);
    if (!lookup && status == EAI_AGAIN) {
        addresses = HostsFileAddresses(name);
        return addresses.empty() ? status : 0;
    }
    if (!lookup) {
        return status;
    }
    status = AwaitLookup(*lookup, timeoutMilliseconds);
    if (status == EAI_INPROGRESS) {
        return EAI_AGAIN;
    }
    if (status == 0) {
        addresses = Addresses(lookup->request.ar_result);
    }
    return status;
}

std::size_t LookupsRunning() {
    return Table().Running();
}

}  // namespace velmora
