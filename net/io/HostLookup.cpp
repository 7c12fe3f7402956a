#include "net/io/HostLookup.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

#include "net/io/synsock.h"

namespace velmora {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// The addresses the hosts file gives `name`, in its order. Read only when too many lookups are
// running: the name then needs no lookup of its own, as the system would answer it from this
// file too.
std::vector<SocketAddress> HostsFileAddresses(const std::filesystem::path& file,
                                              const std::string& name) {
    std::vector<SocketAddress> addresses;
    std::ifstream hosts(file);
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

int Found(int status, const std::vector<SocketAddress>& addresses) {
    return status == 0 && addresses.empty() ? wsa::kNoData : status;
}

}  // namespace

LookupTable::LookupTable(Starter start, std::filesystem::path hostsFile)
    : start_(std::move(start)), hostsFile_(std::move(hostsFile)) {}

std::shared_ptr<NameLookup> LookupTable::Join(const std::string& name, int& status) {
    std::lock_guard lock(mutex_);
    Reap();
    if (const auto found = lookups_.find(name); found != lookups_.end()) {
        return found->second;
    }
    if (lookups_.size() >= kMaxLookupsRunning) {
        status = wsa::kTryAgain;
        return nullptr;
    }
    std::shared_ptr<NameLookup> lookup = start_(name, status);
    if (lookup) {
        lookups_.emplace(name, lookup);
    }
    return lookup;
}

void LookupTable::Reap() {
    std::erase_if(lookups_, [](const auto& entry) { return !entry.second->Running(); });
}

int LookupTable::LookUp(const std::string& name, std::int32_t timeoutMilliseconds,
                        std::vector<SocketAddress>& addresses) {
    if (timeoutMilliseconds < -1) {
        return wsa::kInvalidArgument;
    }
    int status = 0;
    const std::shared_ptr<NameLookup> lookup = Join(name, status);
    if (!lookup && status == wsa::kTryAgain) {
        addresses = HostsFileAddresses(hostsFile_, name);
        return addresses.empty() ? status : 0;
    }
    if (!lookup) {
        return status;
    }
    if (!lookup->Await(timeoutMilliseconds)) {
        return wsa::kTryAgain;
    }
    return Found(lookup->Result(addresses), addresses);
}

std::size_t LookupTable::Running() {
    std::lock_guard lock(mutex_);
    Reap();
    return lookups_.size();
}

namespace {

// Never destroyed: the system goes on writing into the lookups it holds until they end, which
// may be after the process has begun to exit.
LookupTable& Table() {
    static LookupTable* const table = new LookupTable(StartNameLookup, HostsFile());
    return *table;
}

}  // namespace

int LookUpHost(const std::string& name, std::int32_t timeoutMilliseconds,
               std::vector<SocketAddress>& addresses) {
    return Table().LookUp(name, timeoutMilliseconds, addresses);
}

std::size_t LookupsRunning() {
    return Table().Running();
}

}  // namespace velmora
