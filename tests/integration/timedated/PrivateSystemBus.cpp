#include "tests/integration/timedated/PrivateSystemBus.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/fixtures/linux/SafetyChecks.h"

extern char** environ;

namespace velmora {
namespace {

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("private system bus: cannot start " + args[0]);
    }
    return pid;
}

// Calls a mock's method on the private bus with dbus-send ARGS.
void Call(const std::string& service, const std::string& path, std::vector<std::string> args) {
    args.insert(args.begin(),
                {"dbus-send", "--system", "--print-reply", "--dest=" + service, path});
    int status = 0;
    waitpid(Spawn(args), &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("private system bus: " + service + " refused " + args[5]);
    }
}

void CallPolkit(std::vector<std::string> args) {
    Call("org.freedesktop.PolicyKit1", "/org/freedesktop/PolicyKit1/Authority", std::move(args));
}

}  // namespace

PrivateSystemBus::PrivateSystemBus(Services services) {
    if (const char* unsafe = ClockSettingUnsafe(); *unsafe) {
        throw std::runtime_error(unsafe);
    }
    char dir[] = "/tmp/velmora-system-bus.XXXXXX";
    if (!mkdtemp(dir)) {
        throw std::runtime_error("private system bus: no temporary directory");
    }
    dir_ = dir;
    std::vector<std::string> args = {VELMORA_PRIVATE_SYSTEM_BUS, dir_};
    if (services == kWithoutTimedated) {
        args.emplace_back("--without-timedated");
    } else if (services == kWithRealTimedated) {
        args.insert(args.end(), {"--real-timedated", VELMORA_CLOCK_SHIM});
    }
    pid_ = Spawn(args);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(dir_ + "/address")) {
        if (std::chrono::steady_clock::now() > deadline || waitpid(pid_, nullptr, WNOHANG) != 0) {
            Stop();
            throw std::runtime_error("private system bus: did not come up");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::string address;
    std::getline(std::ifstream(dir_ + "/address"), address);
    if (const char* old = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
        previousAddress_ = old;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
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

std::vector<PrivateSystemBus::ClockCall> PrivateSystemBus::ClockCalls(
    const std::string& kind) const {
    // Lines "<kind> <value> at <real time>".
    std::ifstream log(dir_ + "/clock.log");
    std::vector<ClockCall> calls;
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream fields(line);
        std::string itsKind, at;
        ClockCall call;
        if (fields >> itsKind >> call.value >> at >> call.at && at == "at" &&
            (kind.empty() || kind == itsKind)) {
            calls.push_back(call);
        }
    }
    return calls;
}

bool PrivateSystemBus::TimedatedHeard(const std::string& method) const {
    // sd-bus logs "Got message type=method_call ... member=<method> ..." at debug level.
    std::ifstream log(dir_ + "/timedated.log");
    std::string line;
    while (std::getline(log, line)) {
        if (line.find("type=method_call") != std::string::npos &&
            line.find(" member=" + method + " ") != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::vector<bool> PrivateSystemBus::PolkitQuestionsInteractive() const {
    // Lines "<when> CheckAuthorization <subject> "<action>" {<details>} <flags> "<cancel id>"".
    std::ifstream log(dir_ + "/polkitd.log");
    std::vector<bool> questions;
    std::string line;
    while (std::getline(log, line)) {
        const std::size_t cancelId = line.rfind(' ');
        if (line.find(" CheckAuthorization ") == std::string::npos || cancelId == 0) {
            continue;
        }
        const std::size_t flags = line.rfind(' ', cancelId - 1);
        questions.push_back((std::stoul(line.substr(flags + 1)) & 1) != 0);  // AllowUserInteraction
    }
    return questions;
}

void PrivateSystemBus::SetNtp(bool active) const {
    Call("org.freedesktop.timedate1", "/org/freedesktop/timedate1",
         {"org.freedesktop.DBus.Properties.Set", "string:org.freedesktop.timedate1", "string:NTP",
          active ? "variant:boolean:true" : "variant:boolean:false"});
}

void PrivateSystemBus::SetAuthorized(bool authorized) const {
    CallPolkit({"org.freedesktop.DBus.Mock.SetAllowed",
                authorized ? "array:string:org.freedesktop.timedate1.set-time" : "array:string:"});
}

void PrivateSystemBus::SetAuthorizationDelay(double seconds) const {
    CallPolkit({"org.freedesktop.DBus.Mock.SetDelay", "double:" + std::to_string(seconds)});
}

void PrivateSystemBus::SetPromptUnattended(bool unattended) const {
    CallPolkit(
        {"org.freedesktop.DBus.Mock.SimulateHang", unattended ? "boolean:true" : "boolean:false"});
    if (!unattended) {
        CallPolkit({"org.freedesktop.DBus.Mock.ReleaseHangingCalls"});
    }
}

}  // namespace velmora
