#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/DateTime.h"
#include "core/Error.h"
#include "service/ClockKeeper.h"
#include "service/RequestDesk.h"
#include "tests/fixtures/FakeSntpNetwork.h"
#include "tests/fixtures/FakeSystemClock.h"

namespace velmora {
namespace {

constexpr double kSecond = 1.0 / kSecondsPerDay;

struct KeptEvents : EventSink {
    void Record(Level level, const std::string& text) override { records.push_back({level, text}); }
    struct Event {
        Level level;
        std::string text;
    };
    std::vector<Event> records;
};

// The service over a fake clock and fake servers, its machine settings as the test sets them.
class Service : public ::testing::Test {
  protected:
    TDateTime Ahead(double seconds) const { return clock.UtcNow() + seconds * kSecond; }
    ServiceReport Ask(const std::string& message, bool oversized = false) {
        const std::optional<ServiceReport> report = ParseReport(desk.Answer(message, oversized));
        EXPECT_TRUE(report.has_value()) << message;
        return report.value_or(ServiceReport{});
    }
    ServiceReport Synchronize() { return Ask("synchronize now"); }

    FakeSystemClock clock;
    FakeSntpNetwork net;
    TSettings machine;
    std::optional<std::string> unreadable;
    KeptEvents events;
    ClockKeeper keeper{{clock, [this] { return net.MakeClient([this] { return clock.UtcNow(); }); },
                        [this] {
                            if (unreadable) {
                                throw Error(*unreadable);
                            }
                            return machine;
                        },
                        events}};
    RequestDesk desk{keeper, clock};

    void SetUp() override {
        machine.GlobalTimeSrvList = "up.test";
        net.AddServer("up.test", Ahead(5));
    }
};

TEST_F(Service, SynchronizeNowStepsByItsOwnAnswerAndTellsTheEventLog) {
    const ServiceReport report = Synchronize();
    EXPECT_TRUE(report.refusal.empty());
    ASSERT_EQ(clock.Settings.size(), 1u);
    EXPECT_NEAR(report.status.stepSeconds, 5, 0.001);
    ASSERT_EQ(report.history.size(), 2u);
    EXPECT_EQ(report.history[0].entry, "up.test");
    EXPECT_EQ(report.history[1].kind, HistoryRecord::Kind::Step);
    ASSERT_EQ(events.records.size(), 1u);
    EXPECT_EQ(events.records[0].level, EventSink::Level::Information);
    EXPECT_NE(events.records[0].text.find("+5.000 s, by the answer of up.test"), std::string::npos)
        << events.records[0].text;

    // Asking for the state asks nobody and sets nothing; it tells the step.
    clock.AdvanceMilliseconds(60000);
    const ServiceReport state = Ask("tell me your state");
    EXPECT_TRUE(state.refusal.empty());
    EXPECT_TRUE(state.status.stepped);
    EXPECT_EQ(net.Queried().size(), 1u);
    EXPECT_EQ(clock.Settings.size(), 1u);
}

// Nothing but the fixed requests, exactly: a time, an offset or a server with them is refused.
TEST_F(Service, AnythingButTheFixedRequestsIsRefusedAndChangesNothing) {
    const std::string longest(kLongestServiceRequest, 'x');
    const struct {
        std::string message;
        bool oversized;
    } cases[] = {
        {"synchronize now 2026-12-09 12:00:00", false},
        {"synchronize now\n", false},
        {"set time +3600", false},
        {"synchronize now|evil.example", false},
        {"SYNCHRONIZE NOW", false},
        {"", false},
        {std::string("synchronize now\0", 16), false},
        {longest, false},
        {"synchronize now", true},
        {longest + "x", false},
    };
    for (const auto& c : cases) {
        const ServiceReport report = Ask(c.message, c.oversized);
        EXPECT_NE(report.refusal.find("Refused"), std::string::npos) << c.message;
    }
    EXPECT_TRUE(net.Queried().empty());
    EXPECT_TRUE(clock.Settings.empty());
    EXPECT_TRUE(events.records.empty());
}

TEST_F(Service, RequestsAreRateLimited) {
    Synchronize();
    EXPECT_NE(Synchronize().refusal.find("at most once every 10 s"), std::string::npos);
    EXPECT_EQ(net.Queried().size(), 1u);
    clock.AdvanceMilliseconds(10000);
    EXPECT_TRUE(Synchronize().refusal.empty());
    EXPECT_EQ(net.Queried().size(), 2u);

    int told = 0;
    while (Ask("tell me your state").refusal.empty() && told < 100) {
        ++told;
    }
    EXPECT_EQ(told, kStateBurst);
    clock.AdvanceMilliseconds(kStateSpacingSeconds * 1000);
    EXPECT_TRUE(Ask("tell me your state").refusal.empty());
}

// What the service does with an answer follows the program's rules of an unattended step.
TEST_F(Service, StepsFollowTheUnattendedRules) {
    const struct {
        const char* name;
        double serverAhead;
        bool refuse;
        bool timeServiceOn;
        bool stepped;
        bool guarded;
        const char* refusal;  // in the report's step refusal, "" for none
        EventSink::Level level;
    } cases[] = {
        {"refused.test", 5, true, false, false, false, "Operation not permitted",
         EventSink::Level::Error},
        {"beyond-limit.test", 7200, false, false, false, true, "more than the 1 h 0 min 0 s",
         EventSink::Level::Warning},
        {"time-service.test", 5, false, true, false, false, "", EventSink::Level::Information},
    };
    for (const auto& c : cases) {
        clock.AdvanceMilliseconds(60000);
        net.AddServer(c.name, Ahead(c.serverAhead));
        machine.GlobalTimeSrvList = c.name;
        clock.Refuse = c.refuse;
        clock.Service.ntp = c.timeServiceOn;
        events.records.clear();
        const ServiceReport report = Synchronize();
        SCOPED_TRACE(c.name);
        EXPECT_EQ(report.status.stepped, c.stepped);
        EXPECT_EQ(report.timeServiceOn, c.timeServiceOn);
        EXPECT_EQ(report.stepGuarded, c.guarded);
        EXPECT_NE(report.stepRefusal.find(c.refusal), std::string::npos) << report.stepRefusal;
        if (*c.refusal != '\0') {
            EXPECT_NEAR(report.refusedStepSeconds, c.serverAhead, 0.001);
            ASSERT_EQ(events.records.size(), 1u);
            EXPECT_EQ(events.records[0].level, c.level);
            EXPECT_NE(events.records[0].text.find(c.name), std::string::npos);
        } else {
            EXPECT_TRUE(events.records.empty());
        }
    }
}

TEST_F(Service, UnreadableMachineSettingsSynchronizeNothingAndSaySoOnce) {
    unreadable = "The machine's settings cannot be read: Access is denied";
    EXPECT_NE(Synchronize().settingsProblem.find("Access is denied"), std::string::npos);
    clock.AdvanceMilliseconds(10000);
    EXPECT_NE(Synchronize().settingsProblem.find("synchronizes nothing"), std::string::npos);
    EXPECT_TRUE(net.Queried().empty());
    EXPECT_TRUE(clock.Settings.empty());
    ASSERT_EQ(events.records.size(), 1u);
    EXPECT_EQ(events.records[0].level, EventSink::Level::Error);

    // Readable again: the service goes on, the problem gone from its state.
    unreadable.reset();
    clock.AdvanceMilliseconds(10000);
    const ServiceReport report = Synchronize();
    EXPECT_TRUE(report.settingsProblem.empty());
    EXPECT_EQ(clock.Settings.size(), 1u);
}

TEST_F(Service, ServersThatSaidNoAreNotAskedAgain) {
    net.AddKissingServer("deny.test", "DENY");
    machine.GlobalTimeSrvList = "deny.test";
    EXPECT_EQ(Synchronize().status.failures.at(0).kissCode, "DENY");
    clock.AdvanceMilliseconds(10000);
    Synchronize();
    EXPECT_EQ(net.Queried().size(), 1u);
    EXPECT_EQ(events.records.back().level, EventSink::Level::Warning);
}

// The program reads back what the service wrote, whatever the texts hold; anything else is no
// report at all.
TEST(ServiceReportText, ReadsBackWhatWasWrittenAndNothingElse) {
    ServiceReport report;
    report.refusal = "Refused:\tsome\nwords";
    report.stepRefusal = "Privilege not held.";
    report.refusedStepSeconds = -12.25;
    report.stepGuarded = true;
    report.status.answer =
        QueryAttempt{"up.test", true, true, 0.5, 0.02, QueryFailure::None, "", ""};
    report.status.failures.push_back(
        QueryAttempt{"down.test", false, false, 0, 0, QueryFailure::KissOfDeath, "RATE", ""});
    report.status.stepped = true;
    report.status.stepSeconds = 3.5;
    report.status.leftAlone = SyncStatus::LeftAlone::Agrees;
    report.history.push_back({HistoryRecord::Kind::Answer, 1.8e9, "up.test", 0.5, 0.02, true});
    const std::string text = ReportText(report);
    const std::optional<ServiceReport> back = ParseReport(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(ReportText(*back), text);
    EXPECT_EQ(back->refusal, "Refused: some words");
    EXPECT_TRUE(back->stepGuarded);
    EXPECT_EQ(StatusLines(back->status), StatusLines(report.status));
    EXPECT_EQ(back->history, report.history);

    for (const std::string& bad :
         {std::string(), text.substr(0, text.size() - 1), std::string("answer\tx\n"),
          std::string("refusal\tno times line\n"), text + "times\t1\t2\t0\t0\t9\t0\t0\t5\t0\n",
          text + std::string(kLongestServiceReport, '\n')}) {
        EXPECT_FALSE(ParseReport(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace velmora
