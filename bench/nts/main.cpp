// Times one query against chronyd on 127.0.0.1 four ways and prints the figures: over NTS with
// the handshake (a fresh session each time), over NTS with a cookie already held, plain SNTP,
// and chronyd -Q against the same server (a whole process, plain and NTS; Linux only, where
// VELMORA_CHRONYD_BIN names it). Run it through bench/run-nts (a private namespace where chronyd
// serves NTS as nts.velmora.test), which runs the Windows build's under Wine as well.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/Figures.h"
#include "net/SNTPsend.h"
#include "net/nts/NtsSessions.h"

namespace {

using velmora::bench::Percentile;
using velmora::bench::SecondsSince;

constexpr int kHandshakes = 200;
constexpr int kQueries = 1000;
constexpr int kProcesses = 20;

struct Samples {
    std::vector<double> took;    // seconds
    std::vector<double> offset;  // |offset|, seconds
    int failures = 0;
    bool ran = true;
};

// `query` returns whether it succeeded and sets the offset it measured.
Samples Measure(int count, const std::function<bool(double& offset)>& query) {
    Samples s;
    for (int i = 0; i < count; ++i) {
        double offset = 0;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = query(offset);
        const double took = SecondsSince(start);
        if (!ok) {
            ++s.failures;
            continue;
        }
        s.took.push_back(took);
        s.offset.push_back(std::fabs(offset));
    }
    return s;
}

bool Ask(velmora::TSNTPSend& client, double& offset) {
    const bool ok = client.QueryServer();
    offset = client.OffsetSeconds();
    return ok;
}

Samples NtsWithHandshake() {
    return Measure(kHandshakes, [](double& offset) {
        velmora::NtsSessions fresh;
        velmora::TSNTPSend client(velmora::DefaultSocketApi(), velmora::CurrentUtcTime, fresh);
        client.ServerHost = "nts://nts.velmora.test";
        return Ask(client, offset);
    });
}

Samples NtsWithCookie() {
    velmora::NtsSessions sessions;
    velmora::TSNTPSend client(velmora::DefaultSocketApi(), velmora::CurrentUtcTime, sessions);
    client.ServerHost = "nts://nts.velmora.test";
    double ignored = 0;
    Ask(client, ignored);  // the handshake, not counted
    return Measure(kQueries, [&client](double& offset) { return Ask(client, offset); });
}

Samples Plain() {
    velmora::TSNTPSend client;
    client.ServerHost = "127.0.0.1";
    return Measure(kQueries, [&client](double& offset) { return Ask(client, offset); });
}

// chronyd -Q: one process that polls the server 64 times a second until its first reading,
// which it prints as "System clock wrong by X seconds".
Samples ChronydQ(bool nts) {
    const char* chronyd = std::getenv("VELMORA_CHRONYD_BIN");
    const char* credentials = std::getenv("VELMORA_NTS_DIR");
    if (chronyd == nullptr || credentials == nullptr) {
        return Samples{{}, {}, 0, false};
    }
    const std::string dir = std::string(credentials) + "/bench-q";
    const std::string command = "mkdir -p " + dir + " && " + chronyd + " -Q -u root -f /dev/null" +
                                " 'server 127.0.0.1 iburst minpoll -6 maxpoll -6" +
                                (nts ? " nts'" : "'") + " 'ntstrustedcerts " + credentials +
                                "/ca.crt' 'pidfile " + dir + "/pid' 'cmdport 0' 2>&1";
    return Measure(kProcesses, [&command](double& offset) {
        FILE* pipe = ::popen(command.c_str(), "r");
        bool found = false;
        char line[512];
        while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
            const char* at = std::strstr(line, "System clock wrong by ");
            found = found ||
                    (at != nullptr && std::sscanf(at, "System clock wrong by %lf", &offset) == 1);
        }
        return pipe != nullptr && ::pclose(pipe) == 0 && found;
    });
}

void Row(const char* what, const Samples& s) {
    if (!s.ran) {
        return;
    }
    std::printf("%-34s %10.3f %10.3f %12.1f %8d\n", what, Percentile(s.took, 0.5) * 1e3,
                Percentile(s.took, 0.99) * 1e3, Percentile(s.offset, 0.5) * 1e6, s.failures);
}

}  // namespace

int main() {
    const Samples handshake = NtsWithHandshake();
    const Samples cookie = NtsWithCookie();
    const Samples plain = Plain();
    const Samples chronydPlain = ChronydQ(false);
    const Samples chronydNts = ChronydQ(true);
    std::printf("one query against chronyd on 127.0.0.1 (NTS as nts.velmora.test)\n");
    std::printf("%-34s %10s %10s %12s %8s\n", "", "p50 ms", "p99 ms", "|offset| us", "failed");
    Row("velmora NTS, handshake included", handshake);
    Row("velmora NTS, cookie held", cookie);
    Row("velmora plain SNTP", plain);
    Row("chronyd -Q plain (whole process)", chronydPlain);
    Row("chronyd -Q NTS (whole process)", chronydNts);
    std::printf("samples: %d handshakes, %d queries each, %d chronyd processes each\n", kHandshakes,
                kQueries, kProcesses);
    const int failures = handshake.failures + cookie.failures + plain.failures +
                         chronydPlain.failures + chronydNts.failures;
    return failures == 0 ? 0 : 1;
}
