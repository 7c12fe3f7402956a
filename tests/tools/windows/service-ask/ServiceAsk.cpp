// service-ask: the Windows end-to-end tests' client of the clock service.
//
//   service-ask synchronize|state   the program's request through the program's own client (the
//                                   server process checked); prints the report's status lines as
//                                   the window shows them, then "refusal: ...",
//                                   "step-refused: <offset> <why>" and "settings: ..." lines
//   service-ask raw TEXT            TEXT written to the pipe as a foreign client would, unchecked;
//                                   prints the reply as it came
// Exit 2: no answer.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

#include "platform/windows/ClockServiceNames.h"
#include "platform/windows/PipeClockService.h"
#include "platform/windows/WideText.h"
#include "sync/ServiceProtocol.h"
#include "sync/SyncStatus.h"

namespace {

std::optional<std::string> Raw(const std::string& text) {
    char reply[velmora::kLongestServiceReport];
    DWORD read = 0;
    if (!CallNamedPipeW(velmora::kClockServicePipe, const_cast<char*>(text.data()),
                        static_cast<DWORD>(text.size()), reply, sizeof reply, &read,
                        NMPWAIT_WAIT_FOREVER)) {
        return std::nullopt;
    }
    return std::string(reply, read);
}

int Print(const std::string& text) {
    const std::optional<velmora::ServiceReport> report = velmora::ParseReport(text);
    if (!report) {
        std::printf("not a report: %s\n", text.c_str());
        return 2;
    }
    for (const std::string& line : velmora::StatusLines(report->status)) {
        std::printf("%s\n", line.c_str());
    }
    if (!report->refusal.empty()) {
        std::printf("refusal: %s\n", report->refusal.c_str());
    }
    if (!report->stepRefusal.empty()) {
        std::printf("step-refused: %+.3f %s\n", report->refusedStepSeconds,
                    report->stepRefusal.c_str());
    }
    if (!report->settingsProblem.empty()) {
        std::printf("settings: %s\n", report->settingsProblem.c_str());
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::string command = argc > 1 ? velmora::Narrow(argv[1]) : "";
    std::optional<std::string> reply;
    if (command == "raw" && argc == 3) {
        reply = Raw(velmora::Narrow(argv[2]));
        if (reply) {
            std::printf("%s", reply->c_str());
            return 0;
        }
        return 2;
    }
    if (command != "synchronize" && command != "state") {
        std::fprintf(stderr, "usage: service-ask synchronize|state|raw TEXT\n");
        return 1;
    }
    velmora::PipeClockService service;
    reply = service.Exchange(velmora::RequestText(command == "synchronize"
                                                      ? velmora::ServiceRequest::SynchronizeNow
                                                      : velmora::ServiceRequest::TellState));
    return reply ? Print(*reply) : 2;
}
