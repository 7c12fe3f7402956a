#include "net/io/NameLookup.h"

#include <netdb.h>

#include <chrono>

#include "net/io/linux/synsock.h"

namespace velmora {

namespace {

using SteadyClock = std::chrono::steady_clock;

timespec Remaining(SteadyClock::time_point deadline) {
    const auto left = std::max<std::int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - SteadyClock::now()).count(),
        0);
    return timespec{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
}

// One getaddrinfo_a lookup: glibc reads the name and hints, and writes the result, for as long as
// it runs, so all three live together, as long as anyone still holds the lookup.
class AsyncLookup : public NameLookup {
  public:
    explicit AsyncLookup(const std::string& host) : name_(host) {
        hints_.ai_family = AF_UNSPEC;
        hints_.ai_socktype = SOCK_DGRAM;
        request_.ar_name = name_.c_str();
        request_.ar_request = &hints_;
    }
    ~AsyncLookup() override {
        if (request_.ar_result != nullptr) {
            ::freeaddrinfo(request_.ar_result);
        }
    }
    AsyncLookup(const AsyncLookup&) = delete;
    AsyncLookup& operator=(const AsyncLookup&) = delete;

    // The getaddrinfo_a result of the start.
    int Start() {
        gaicb* requests[] = {&request_};
        return ::getaddrinfo_a(GAI_NOWAIT, requests, 1, nullptr);
    }

    bool Running() override { return ::gai_error(&request_) == EAI_INPROGRESS; }

    bool Await(std::int32_t timeoutMilliseconds) override {
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMilliseconds);
        const gaicb* list[] = {&request_};
        while (Running()) {
            timespec limit = Remaining(deadline);
            if (timeoutMilliseconds >= 0 && limit.tv_sec == 0 && limit.tv_nsec == 0) {
                return false;
            }
            ::gai_suspend(list, 1, timeoutMilliseconds >= 0 ? &limit : nullptr);
        }
        return true;
    }

    int Result(std::vector<SocketAddress>& addresses) override {
        const int status = ::gai_error(&request_);
        if (status == 0) {
            addresses = AddressesOf(request_.ar_result);
        }
        return MapLookupError(status);
    }

  private:
    std::string name_;
    addrinfo hints_{};
    gaicb request_{};
};

}  // namespace

std::shared_ptr<NameLookup> StartNameLookup(const std::string& name, int& status) {
    auto lookup = std::make_shared<AsyncLookup>(name);
    const int started = lookup->Start();
    if (started != 0) {
        status = MapLookupError(started);
        return nullptr;
    }
    return lookup;
}

std::filesystem::path HostsFile() {
    return "/etc/hosts";
}

}  // namespace velmora
