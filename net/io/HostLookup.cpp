#include "net/io/HostLookup.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace velmora {

namespace {

using SteadyClock = std::chrono::steady_clock;

// One asynchronous lookup: the resolver reads the name and hints, and writes the result, for as
// long as it runs, so all three live together.
struct Lookup {
    std::string name;
    addrinfo hints{};
    gaicb request{};
};

// Lookups given up on while still running; freed once the resolver is done with them.
std::mutex abandonedMutex;
std::vector<std::unique_ptr<Lookup>> abandoned;

void FreeResult(Lookup& lookup) {
    if (lookup.request.ar_result != nullptr) {
        ::freeaddrinfo(lookup.request.ar_result);
        lookup.request.ar_result = nullptr;
    }
}

void ReapAbandoned() {
    std::lock_guard lock(abandonedMutex);
    std::erase_if(abandoned, [](const std::unique_ptr<Lookup>& lookup) {
        if (::gai_error(&lookup->request) == EAI_INPROGRESS) {
            return false;
        }
        FreeResult(*lookup);
        return true;
    });
}

void Abandon(std::unique_ptr<Lookup> lookup) {
    const int cancelled = ::gai_cancel(&lookup->request);
    if (cancelled == EAI_NOTCANCELED) {
        std::lock_guard lock(abandonedMutex);
        abandoned.push_back(std::move(lookup));
        return;
    }
    FreeResult(*lookup);
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

}  // namespace

int LookUpHost(const std::string& name, std::int32_t timeoutMilliseconds, addrinfo*& list) {
    ReapAbandoned();
    auto lookup = std::make_unique<Lookup>();
    lookup->name = name;
    lookup->hints.ai_family = AF_INET;
    lookup->hints.ai_socktype = SOCK_DGRAM;
    lookup->request.ar_name = lookup->name.c_str();
    lookup->request.ar_request = &lookup->hints;
    gaicb* requests[] = {&lookup->request};
    const int started = ::getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr);
    if (started != 0) {
        return started;
    }
    const int status = AwaitLookup(*lookup, timeoutMilliseconds);
    if (status == EAI_INPROGRESS) {
        Abandon(std::move(lookup));
        return status;
    }
    list = lookup->request.ar_result;
    lookup->request.ar_result = nullptr;
    return status;
}

}  // namespace velmora
