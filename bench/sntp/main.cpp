// Asks chronyd on 127.0.0.1 for the time 1,000 times with one client and prints the median and
// 99th percentile of |offset|, delay and the time one query takes, beside the same figures from
// ntpdig against the same server. Run it through bench/run-sntp (inside a private namespace).

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bench/Figures.h"
#include "net/SNTPsend.h"

namespace {

using velmora::bench::Percentile;
using velmora::bench::SecondsSince;

constexpr int kQueries = 1000;
constexpr const char* kServer = "127.0.0.1";

struct Samples {
    std::vector<double> offset;  // |offset|, seconds
    std::vector<double> delay;   // seconds
    std::vector<double> query;   // seconds one exchange takes
    int failures = 0;
};

Samples RunOurs() {
    Samples s;
    velmora::TSNTPSend client;
    client.ServerHost = kServer;
    for (int i = 0; i < kQueries; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const bool ok = client.QueryServer();
        const double took = SecondsSince(start);
        if (!ok) {
            ++s.failures;
            continue;
        }
        s.offset.push_back(std::fabs(client.OffsetSeconds()));
        s.delay.push_back(client.DelaySeconds());
        s.query.push_back(took);
    }
    return s;
}

// The four decimal timestamps of one ntpdig debug run: "org t1: A rec t2: B" and
// "xmt t3: C dst t4: D", each printed once in hex and once in decimal (the later one).
bool ParseNtpdig(const std::string& output, double t[4]) {
    std::istringstream lines(output);
    std::string line;
    bool first = false;
    bool second = false;
    while (std::getline(lines, line)) {
        double a = 0;
        double b = 0;
        if (std::sscanf(line.c_str(), "org t1: %lf rec t2: %lf", &a, &b) == 2 && a > 1e6) {
            t[0] = a;
            t[1] = b;
            first = true;
        } else if (std::sscanf(line.c_str(), "xmt t3: %lf dst t4: %lf", &a, &b) == 2 && a > 1e6) {
            t[2] = a;
            t[3] = b;
            second = true;
        }
    }
    return first && second;
}

std::string Run(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        ::pclose(pipe);
    }
    return output;
}

Samples RunNtpdig(std::vector<double>& processSeconds) {
    Samples s;
    const std::string command = std::string("ntpdig -d -t 5 ") + kServer + " 2>&1";
    for (int i = 0; i < kQueries; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const std::string output = Run(command);
        processSeconds.push_back(SecondsSince(start));
        double t[4] = {};
        if (!ParseNtpdig(output, t)) {
            ++s.failures;
            continue;
        }
        s.offset.push_back(std::fabs(((t[1] - t[0]) + (t[2] - t[3])) / 2));
        s.delay.push_back((t[3] - t[0]) - (t[2] - t[1]));
        s.query.push_back(t[3] - t[0]);
    }
    return s;
}

void PrintRow(const char* what, const std::vector<double>& ours,
              const std::vector<double>& theirs) {
    std::printf("%-22s %12.1f %12.1f %12.1f %12.1f\n", what, Percentile(ours, 0.5) * 1e6,
                Percentile(ours, 0.99) * 1e6, Percentile(theirs, 0.5) * 1e6,
                Percentile(theirs, 0.99) * 1e6);
}

}  // namespace

int main() {
    const Samples ours = RunOurs();
    std::vector<double> process;
    const Samples theirs = RunNtpdig(process);
    std::printf("%d queries each against chronyd at %s; microseconds\n", kQueries, kServer);
    std::printf("%-22s %12s %12s %12s %12s\n", "", "velmora p50", "velmora p99", "ntpdig p50",
                "ntpdig p99");
    PrintRow("|offset|", ours.offset, theirs.offset);
    PrintRow("delay", ours.delay, theirs.delay);
    PrintRow("query (t4 - t1 / call)", ours.query, theirs.query);
    std::printf("%-22s %12s %12s %12.1f %12.1f\n", "ntpdig whole process", "", "",
                Percentile(process, 0.5) * 1e6, Percentile(process, 0.99) * 1e6);
    std::printf("failures: velmora %d, ntpdig %d\n", ours.failures, theirs.failures);
    return ours.failures == 0 && theirs.failures == 0 ? 0 : 1;
}
