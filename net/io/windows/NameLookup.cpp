#include "net/io/NameLookup.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "net/io/synsock.h"
#include "net/io/windows/Utf16.h"

namespace velmora {

namespace {

// GetAddrInfoW on a thread of its own: under Wine 8 GetAddrInfoExW ignores its timeout and
// cannot be cancelled, so no call of the system ends a lookup early, and the wait for one is
// bounded here instead. The thread holds the lookup until it ends.
class ThreadLookup : public NameLookup {
  public:
    bool Running() override {
        std::lock_guard lock(mutex_);
        return !ended_;
    }

    bool Await(std::int32_t timeoutMilliseconds) override {
        std::unique_lock lock(mutex_);
        const auto ended = [this] { return ended_; };
        if (timeoutMilliseconds < 0) {
            changed_.wait(lock, ended);
            return true;
        }
        return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds), ended);
    }

    int Result(std::vector<SocketAddress>& addresses) override {
        std::lock_guard lock(mutex_);
        addresses = addresses_;
        return status_;
    }

    // Runs the lookup; on the lookup's own thread.
    void Run(const std::wstring& name) {
        std::vector<SocketAddress> addresses;
        // A start-up of its own: the sockets that asked may all be closed before it ends.
        WSADATA data{};
        int status = WSAStartup(MAKEWORD(2, 2), &data);
        if (status == 0) {
            ADDRINFOW hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_DGRAM;
            ADDRINFOW* found = nullptr;
            status = GetAddrInfoW(name.c_str(), nullptr, &hints, &found);
            addresses = AddressesOf(found);
            if (found != nullptr) {
                FreeAddrInfoW(found);
            }
            WSACleanup();
        }
        std::lock_guard lock(mutex_);
        status_ = status;
        addresses_ = std::move(addresses);
        ended_ = true;
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
    int status_ = 0;
    std::vector<SocketAddress> addresses_;
};

}  // namespace

std::shared_ptr<NameLookup> StartNameLookup(const std::string& name, int& status) {
    const std::optional<std::wstring> wide = Utf16(name);
    if (!wide) {
        status = wsa::kHostNotFound;
        return nullptr;
    }
    auto lookup = std::make_shared<ThreadLookup>();
    try {
        std::thread([lookup, name = *wide] { lookup->Run(name); }).detach();
    } catch (const std::system_error&) {
        status = wsa::kNoRecovery;
        return nullptr;
    }
    return lookup;
}

std::filesystem::path HostsFile() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    return std::filesystem::path(folder) / L"System32" / L"drivers" / L"etc" / L"hosts";
}

}  // namespace velmora
