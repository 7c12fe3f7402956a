#include "tests/integration/timedated/PrivateSystemBus.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace velmora {
namespace {

constexpr const char* kTimedate = "org.freedesktop.timedate1";
constexpr const char* kTimedatePath = "/org/freedesktop/timedate1";
constexpr const char* kPolkit = "org.freedesktop.PolicyKit1";
constexpr const char* kPolkitPath = "/org/freedesktop/PolicyKit1/Authority";
constexpr const char* kMock = "org.freedesktop.DBus.Mock";

// One connection to the private bus per request; throws with the bus's words on failure.
class Connection {
  public:
    explicit Connection(const std::string& address) {
        Check(sd_bus_new(&bus_));
        Check(sd_bus_set_address(bus_, address.c_str()));
        Check(sd_bus_set_bus_client(bus_, 1));
        Check(sd_bus_start(bus_));
    }
    ~Connection() {
        sd_bus_error_free(&error_);
        sd_bus_flush_close_unref(bus_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sd_bus* get() const { return bus_; }
    sd_bus_error* error() { return &error_; }

    void Check(int r) const {
        if (r < 0) {
            throw std::runtime_error(std::string("private system bus: ") +
                                     (error_.message ? error_.message : std::strerror(-r)));
        }
    }

  private:
    sd_bus* bus_ = nullptr;
    sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

std::string ReadAddress(const std::string& file) {
    std::ifstream in(file);
    std::string address;
    std::getline(in, address);
    return address;
}

}  // namespace

PrivateSystemBus::PrivateSystemBus(Services services) {
    char dir[] = "/tmp/velmora-system-bus.XXXXXX";
    if (!mkdtemp(dir)) {
        throw std::runtime_error("private system bus: no temporary directory");
    }
    dir_ = dir;
    const std::string program = VELMORA_PRIVATE_SYSTEM_BUS;
    char without[] = "--without-timedated";
    char* argv[] = {const_cast<char*>(program.c_str()), dir,
                    services == kWithoutTimedated ? without : nullptr, nullptr};
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv, environ) != 0) {
        pid_ = -1;
        throw std::runtime_error("private system bus: cannot start " + program);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(dir_ + "/address")) {
        if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
            Stop();
            throw std::runtime_error("private system bus: did not come up");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    address_ = ReadAddress(dir_ + "/address");
    if (const char* old = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
        previousAddress_ = old;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
}

PrivateSystemBus::~PrivateSystemBus() {
    if (previousAddress_) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", previousAddress_->c_str(), 1);
    } else {
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }
    Stop();
}

void PrivateSystemBus::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::vector<PrivateSystemBus::SetTimeCall> PrivateSystemBus::SetTimeCalls() const {
    Connection c(address_);
    sd_bus_message* raw = nullptr;
    c.Check(sd_bus_call_method(c.get(), kTimedate, kTimedatePath, kMock, "GetMethodCalls",
                               c.error(), &raw, "s", "SetTime"));
    std::unique_ptr<sd_bus_message, sd_bus_message* (*)(sd_bus_message*)> owned(
        raw, sd_bus_message_unref);
    sd_bus_message* reply = owned.get();
    std::vector<SetTimeCall> calls;
    c.Check(sd_bus_message_enter_container(reply, 'a', "(tav)"));
    while (sd_bus_message_enter_container(reply, 'r', "tav") > 0) {
        std::uint64_t when = 0;
        int relative = 0;
        int interactive = 0;
        SetTimeCall call;
        c.Check(sd_bus_message_read(reply, "t", &when));
        c.Check(sd_bus_message_enter_container(reply, 'a', "v"));
        c.Check(sd_bus_message_read(reply, "vvv", "x", &call.usecUtc, "b", &relative, "b",
                                    &interactive));
        c.Check(sd_bus_message_exit_container(reply));
        c.Check(sd_bus_message_exit_container(reply));
        call.relative = relative != 0;
        call.interactive = interactive != 0;
        calls.push_back(call);
    }
    return calls;
}

void PrivateSystemBus::SetNtp(bool active) const {
    Connection c(address_);
    c.Check(sd_bus_set_property(c.get(), kTimedate, kTimedatePath, kTimedate, "NTP", c.error(), "b",
                                active ? 1 : 0));
}

void PrivateSystemBus::SetAuthorized(bool authorized) const {
    Connection c(address_);
    const char* action = "org.freedesktop.timedate1.set-time";
    c.Check(authorized ? sd_bus_call_method(c.get(), kPolkit, kPolkitPath, kMock, "SetAllowed",
                                            c.error(), nullptr, "as", 1, action)
                       : sd_bus_call_method(c.get(), kPolkit, kPolkitPath, kMock, "SetAllowed",
                                            c.error(), nullptr, "as", 0));
}

void PrivateSystemBus::SetAuthorizationDelay(double seconds) const {
    Connection c(address_);
    c.Check(sd_bus_call_method(c.get(), kPolkit, kPolkitPath, kMock, "SetDelay", c.error(), nullptr,
                               "d", seconds));
}

}  // namespace velmora
