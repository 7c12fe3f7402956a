#include <algorithm>
#include <functional>

#include "sync/ServiceSynchronization.h"
#include "tests/fixtures/ControllerTest.h"

namespace velmora {
namespace {

// The program on a machine with a clock service: what sets the clock goes to the service first.
class WithService : public ControllerTest {
  protected:
    // The service answers every request with `report`; `stepSeconds` is how far it moved the
    // clock meanwhile, as the kernel tells the program.
    void ServiceAnswers(std::function<ServiceReport()> report, double stepSeconds = 0) {
        w.Service.Reply = [this, report, stepSeconds](const std::string&) {
            w.ClockWatch.Change += stepSeconds;
            return std::optional<std::string>(ReportText(report()));
        };
    }

    ServiceReport Answered(double offsetSeconds) {
        ServiceReport report;
        report.status.answer =
            QueryAttempt{"svc.test", true, false, offsetSeconds, 0.02, QueryFailure::None, "", ""};
        report.status.answeredAt = w.Clock.Local;
        return report;
    }

    bool Shows(const std::string& start) const {
        const std::vector<std::string>& lines = w.View.StatusLines;
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.starts_with(start); });
    }
};

enum class Trigger { Tray, Adjust, Periodic, AtStart };

struct ServiceCase {
    const char* name;
    Trigger trigger;
    std::function<ServiceReport(ServiceReport)> report;  // from an answer of +30 s
    bool ourselves;     // the program asks the servers and sets the clock itself
    const char* line;   // a status line starting so, "" for none to look for
    const char* error;  // the error reported, "" for none
};

void PrintTo(const ServiceCase& c, std::ostream* out) {
    *out << c.name;
}

ServiceReport Stepped(ServiceReport r) {
    r.status.stepped = true;
    r.status.steppedAt = r.status.answeredAt;
    r.status.stepSeconds = 30;
    return r;
}
ServiceReport Refused(ServiceReport r) {
    r.stepRefusal = "A required privilege is not held by the client.";
    r.refusedStepSeconds = 30;
    return r;
}
ServiceReport Guarded(ServiceReport r) {
    r.stepRefusal = "the server's time (not authenticated) is +30.000 s from the clock";
    r.refusedStepSeconds = 30;
    r.stepGuarded = true;
    return r;
}
ServiceReport TimeServiceOn(ServiceReport r) {
    r.timeServiceOn = true;
    return r;
}
ServiceReport Unreadable(ServiceReport) {
    ServiceReport r;
    r.settingsProblem =
        "Access is denied. The service synchronizes nothing until they can be read.";
    return r;
}

class ServiceCommands : public WithService, public ::testing::WithParamInterface<ServiceCase> {};

TEST_P(ServiceCommands, GoToTheServiceFirstAndShowWhatItAnswered) {
    const ServiceCase& p = GetParam();
    net.AddServer("own.test", Ahead(30));
    ServiceAnswers([this, &p] { return p.report(Answered(30)); },
                   p.report(ServiceReport{}).status.stepped ? 30 : 0);
    w.SetKey("UpdateClock", "1");
    w.SetKey("UpdateClockInterval", "60000");
    w.SetKey("GlobalAutorun", p.trigger == Trigger::AtStart ? "1" : "0");
    StartWithServers("own.test", false);
    switch (p.trigger) {
        case Trigger::Tray:
            c.Synchronizecomputerclock1Click();
            break;
        case Trigger::Adjust:
            c.AdjustClockButtonClick();
            break;
        case Trigger::Periodic:
            w.Timer1.Advance(60000);
            break;
        case Trigger::AtStart:
            break;
    }

    EXPECT_EQ(w.Service.Requests, std::vector<std::string>{"synchronize now"});
    EXPECT_EQ(!net.Queried().empty(), p.ourselves);
    EXPECT_EQ(!w.Clock.Settings.empty(), p.ourselves);
    if (*p.line != '\0') {
        EXPECT_TRUE(Shows(p.line)) << ::testing::PrintToString(w.View.StatusLines);
    }
    if (*p.error != '\0') {
        ASSERT_EQ(w.Errors.size(), 1u);
        EXPECT_TRUE(w.Errors[0].starts_with(p.error)) << w.Errors[0];
    } else {
        EXPECT_TRUE(w.Errors.empty()) << ::testing::PrintToString(w.Errors);
    }
    // The service's step is not another program's.
    for (const HistoryRecord& record : w.History.Records) {
        EXPECT_NE(record.kind, HistoryRecord::Kind::OtherStep);
    }
    EXPECT_FALSE(c.CommandRunning());
}

ServiceReport Same(ServiceReport r) {
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ServiceCommands,
    ::testing::Values(
        ServiceCase{"TrayStepped", Trigger::Tray, Stepped, false, "Clock last set", ""},
        ServiceCase{"AdjustStepped", Trigger::Adjust, Stepped, false, "Answer from svc.test", ""},
        ServiceCase{"PeriodicStepped", Trigger::Periodic, Stepped, false, "Clock last set", ""},
        ServiceCase{"AtStartStepped", Trigger::AtStart, Stepped, false, "Clock last set", ""},
        ServiceCase{"AdjustRefused", Trigger::Adjust, Refused, false,
                    "Unable to set the computer clock: A required privilege is not held by the "
                    "client. (a step of +30.000 s)",
                    "Unable to set the computer clock: A required privilege is not held by the "
                    "client. (a step of +30.000 s)"},
        ServiceCase{"PeriodicRefused", Trigger::Periodic, Refused, false,
                    "Unable to set the computer clock", "Unable to set the computer clock"},
        ServiceCase{"PeriodicGuarded", Trigger::Periodic, Guarded, false,
                    "The computer clock was left alone: the server's time",
                    "The computer clock was left alone"},
        ServiceCase{"TrayGuardedIsTheUsers", Trigger::Tray, Guarded, true, "", ""},
        ServiceCase{"AdjustTimeServiceIsTheUsers", Trigger::Adjust, TimeServiceOn, true, "", ""},
        ServiceCase{"PeriodicTimeServiceLeftAlone", Trigger::Periodic, TimeServiceOn, false,
                    "The clock service left the clock", ""},
        ServiceCase{"AdjustUnreadableIsTheUsers", Trigger::Adjust, Unreadable, true, "", ""},
        ServiceCase{"AtStartUnreadable", Trigger::AtStart, Unreadable, false,
                    "The clock service: Access is denied", ""},
        ServiceCase{"AdjustAnswerOnly", Trigger::Adjust, Same, false, "Answer from svc.test", ""}),
    [](const ::testing::TestParamInfo<ServiceCase>& info) { return info.param.name; });

TEST_F(WithService, NoServiceOrNoReportMeansTheProgramDoesItAsWithoutOne) {
    net.AddServer("own.test", Ahead(5));
    StartWithServers("own.test", false);
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Clock.Settings.size(), 1u);

    w.Service.Reply = [](const std::string&) { return std::optional<std::string>("garbled\n"); };
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.Service.Requests.size(), 2u);
    EXPECT_EQ(w.Clock.Settings.size(), 2u);
}

TEST_F(WithService, TheServicesFreshAnswerShowsAndAnOldOneOrARefusalChangesNothing) {
    ServiceReport report = Stepped(Answered(30));
    ServiceAnswers([&report] { return report; }, 0);
    StartWithServers("own.test", false);
    c.Synchronizecomputerclock1Click();
    // Stepped by its own answer: the clock agrees with the server now.
    EXPECT_NEAR(c.ClockOffset, 0, kMillisecond);
    EXPECT_TRUE(c.ServerTimeKnown);

    // Asked too soon: the old answer is no news, the refusal shows, nothing else moves.
    report.refusal = "Refused: asked a moment ago";
    w.Clock.Local += 5 * kSecond;
    c.Synchronizecomputerclock1Click();
    EXPECT_TRUE(Shows("The clock service: Refused: asked a moment ago"));
    EXPECT_TRUE(w.Errors.empty());
    EXPECT_NE(w.View.ServerText, kFailedToContact);

    // No server answered the service: the failure shows as after a get-time command.
    report.refusal.clear();
    report.status.failures = {
        QueryAttempt{"svc.test", false, false, 0, 0, QueryFailure::NoAnswer, "", ""}};
    c.Synchronizecomputerclock1Click();
    EXPECT_EQ(w.View.ServerText, kFailedToContact);
    EXPECT_TRUE(Shows("The server gave no time:"));
}

TEST_F(WithService, GetTimeAsksTheServersItself) {
    net.AddServer("own.test", Ahead(3));
    ServiceAnswers([this] { return Stepped(Answered(30)); });
    StartWithServers("own.test", false);
    c.CheckTimeServerButtonClick();
    EXPECT_TRUE(w.Service.Requests.empty());
    EXPECT_EQ(net.Queried(), std::vector<std::string>{"own.test"});
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// The service's answers and steps join the history the History window draws, each once, those
// already kept by an earlier run too.
TEST_F(WithService, TheServicesRecordsJoinTheHistoryOnce) {
    const HistoryRecord answer{HistoryRecord::Kind::Answer, 1.8e9, "svc.test", 30, 0.02, false};
    const HistoryRecord step{HistoryRecord::Kind::Step, 1.8e9 + 1, "", 30, 0, false};
    const HistoryRecord later{
        HistoryRecord::Kind::Answer, 1.8e9 + 600, "svc.test", 0.5, 0.02, false};
    w.History.Records = {answer};
    ServiceReport report = Answered(30);
    report.history = {answer, step};
    ServiceAnswers([&report] { return report; });
    StartWithServers("own.test", false);

    c.Synchronizecomputerclock1Click();
    EXPECT_EQ(w.History.Records, (std::vector<HistoryRecord>{answer, step}));

    report.history.push_back(later);
    c.AdjustClockButtonClick();
    EXPECT_EQ(w.History.Records, (std::vector<HistoryRecord>{answer, step, later}));
}

}  // namespace
}  // namespace velmora
