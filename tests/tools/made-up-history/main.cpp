// made-up-history FILE [hours=H] [ppm=P] [steps=H1,H2...] [stepafter=N] [others=H1,H2...]
//                 [othersby=S] [nts=N] [noise=S] [end=now|SECONDS]
//
// Appends a made-up history to FILE through the program's own history writer: an answer every
// 15 minutes for H hours (24) from a clock gaining P ppm (10), the clock stepped H1, H2... hours
// after the start, and right after every N-th answer (0: never), another program moving it by S
// seconds (2) at each of `others`, every N-th answer authenticated (0: none), the answers S
// seconds apart from the line (0.002), the last answer at `end` (default: now).

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/HistoryFile.h"
#include "tests/fixtures/MadeUpHistory.h"

namespace {

std::vector<double> Hours(const std::string& list) {
    std::vector<double> hours;
    std::istringstream in(list);
    for (std::string h; std::getline(in, h, ',');) {
        hours.push_back(std::stod(h));
    }
    return hours;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: made-up-history FILE [hours=H] [ppm=P] [steps=H,...] "
                     "[stepafter=N] [others=H,...] [othersby=S] [nts=N] [noise=S] "
                     "[end=now|SECONDS]\n");
        return 2;
    }
    velmora::MadeUpHistory m;
    m.ppm = 10;
    double end = static_cast<double>(std::time(nullptr));
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::string value = arg.substr(arg.find('=') + 1);
        if (arg.starts_with("hours=")) {
            m.hours = std::stod(value);
        } else if (arg.starts_with("ppm=")) {
            m.ppm = std::stod(value);
        } else if (arg.starts_with("noise=")) {
            m.noise = std::stod(value);
        } else if (arg.starts_with("nts=")) {
            m.authenticatedEvery = std::stoi(value);
        } else if (arg.starts_with("end=") && value != "now") {
            end = std::stod(value);
        } else if (arg.starts_with("steps=")) {
            m.stepsAt = Hours(value);
        } else if (arg.starts_with("stepafter=")) {
            m.stepAfterEvery = std::stoi(value);
        } else if (arg.starts_with("others=")) {
            m.othersAt = Hours(value);
        } else if (arg.starts_with("othersby=")) {
            m.othersBy = std::stod(value);
        }
    }
    m.start = end - m.hours * 3600;
    velmora::HistoryFile file(argv[1]);
    for (const velmora::HistoryRecord& record : velmora::MakeHistory(m)) {
        file.Append(record);
    }
    return 0;
}
