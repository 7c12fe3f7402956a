// ntp-responder: a test-only SNTP server over NtpResponder, for end-to-end tests.
//
//   ntp-responder [--address A] [--port P] [--offset S] [--delay-ms N] [--stratum N]
//                 [--leap N] [--silent]
//
//   --address A    IPv4 address to bind (default 127.0.0.1)
//   --port P       UDP port to bind (default 123; 0 picks a free one)
//   --offset S     seconds (fractional, may be negative) added to the local UTC clock in replies
//   --delay-ms N   wait N milliseconds before each reply (default 0)
//   --stratum N    stratum byte of the replies (default 1; 0 or 16 make them invalid)
//   --leap N       leap indicator 0..3 of the replies (default 0; 3 makes them invalid)
//   --silent       receive requests but never answer
//
// Prints "ready" on stdout once bound (and the address:port on stderr), then serves until SIGTERM
// or SIGINT. Exits 2 on a bad flag, 1 when it cannot bind. Run it only inside
// tests/fixtures/netns-run.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

#include "tests/fixtures/linux/NtpResponder.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

struct Flags {
    velmora::NtpResponder::Options options;
    double offset = 0;
    int stratum = 1;
    int leap = 0;
    bool silent = false;
};

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(stderr, "ntp-responder: %s\n", problem.c_str());
    std::exit(2);
}

Flags ParseFlags(int argc, char** argv) {
    Flags flags;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--silent") {
            flags.silent = true;
            continue;
        }
        if (i + 1 >= argc) {
            Usage("missing value for " + flag);
        }
        const std::string value = argv[++i];
        try {
            if (flag == "--address") {
                flags.options.address = value;
            } else if (flag == "--port") {
                flags.options.port = static_cast<std::uint16_t>(std::stoul(value));
            } else if (flag == "--offset") {
                flags.offset = std::stod(value);
            } else if (flag == "--delay-ms") {
                flags.options.delay = std::chrono::milliseconds(std::stol(value));
            } else if (flag == "--stratum") {
                flags.stratum = std::stoi(value);
            } else if (flag == "--leap") {
                flags.leap = std::stoi(value);
            } else {
                Usage("unknown flag " + flag);
            }
        } catch (const std::logic_error&) {
            Usage("bad value for " + flag + ": " + value);
        }
    }
    return flags;
}

velmora::NtpResponder::ReplyBuilder Builder(const Flags& flags) {
    if (flags.silent) {
        return velmora::NtpResponder::Silent();
    }
    return [flags](const std::string& request) -> std::optional<std::string> {
        auto reply = velmora::NtpResponder::StandardReply(request, flags.offset);
        reply[0] = static_cast<char>(((flags.leap & 3) << 6) | (reply[0] & 0x3F));
        reply[1] = static_cast<char>(flags.stratum);
        return reply;
    };
}

}  // namespace

int main(int argc, char** argv) {
    const Flags flags = ParseFlags(argc, argv);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    try {
        velmora::NtpResponder responder(flags.options, Builder(flags));
        std::fprintf(stderr, "ntp-responder: serving %s:%u\n", flags.options.address.c_str(),
                     static_cast<unsigned>(responder.Port()));
        std::printf("ready\n");
        std::fflush(stdout);
        while (!stopRequested) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
