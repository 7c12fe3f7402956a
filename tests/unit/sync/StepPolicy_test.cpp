#include "sync/StepPolicy.h"

#include <gtest/gtest.h>

#include "sync/ClockStep.h"

namespace velmora {
namespace {

using LeftAlone = SyncStatus::LeftAlone;
using Verdict = StepPermission::Verdict;

RunningCommand CommandOf(Command command, std::optional<double> answerDelaySeconds) {
    RunningCommand running = RunningCommand::After({}, command);
    if (answerDelaySeconds) {
        running.Answer = QueryAttempt{"ntp.test",         true, false, 0, *answerDelaySeconds,
                                      QueryFailure::None, "",   ""};
    }
    return running;
}

TEST(ChooseStep, ASynchronizationStepsOnlyByItsOwnAnswerAndBeyondWhatItCanTell) {
    struct Case {
        const char* name;
        Command command;
        std::optional<double> answerDelay;
        std::optional<double> offset;
        StepChoice choice;
    };
    for (const Case& c : {
             Case{"adjust, nothing held", Command::Adjust, {}, {}, {}},
             Case{"adjust, below a millisecond",
                  Command::Adjust,
                  {},
                  0.0009,
                  {{}, LeftAlone::Agrees, kSmallestStepSeconds}},
             Case{"adjust by a held answer", Command::Adjust, {}, -2.0, {-2.0, LeftAlone::No, 0}},
             Case{"period, no answer of its own",
                  Command::Periodic,
                  {},
                  5.0,
                  {{}, LeftAlone::NoAnswer, 0}},
             Case{"tray, no answer, nothing held",
                  Command::Synchronize,
                  {},
                  {},
                  {{}, LeftAlone::NoAnswer, 0}},
             Case{"period, within half the round trip",
                  Command::Periodic,
                  0.2,
                  0.09,
                  {{}, LeftAlone::Agrees, 0.1}},
             Case{"start-up, beyond half the round trip",
                  Command::AtStart,
                  0.2,
                  0.11,
                  {0.11, LeftAlone::No, 0}},
         }) {
        EXPECT_EQ(ChooseStep(CommandOf(c.command, c.answerDelay), c.offset), c.choice) << c.name;
    }
}

TEST(PermitStep, BeyondTheLimitAClickAsksAndAPlainUnattendedAnswerIsLeftForAClickToldOnce) {
    const std::string question =
        "Setting the computer clock to the server's time moves it by -1 h 0 min 1 s, more than "
        "1 h 0 min 0 s.\n\nSet the clock?";
    const std::string leftAlone =
        "The computer clock was left alone: the server's time (not authenticated) is "
        "-1 h 0 min 1 s from it, more than the 1 h 0 min 0 s a synchronization nobody asked for "
        "may move it. Click \"Adjust time\" to set it.";
    struct Case {
        const char* name;
        double offset;
        std::int32_t limit;
        bool unattended;
        bool authenticated;
        StepPermission permission;
    };
    ToldOnce told;
    for (const Case& c : {
             Case{"within the limit", -3600, 3600, true, false, {}},
             Case{"no limit", 86400, 0, true, false, {}},
             Case{"a click", -3601, 3600, false, false, {Verdict::Ask, question}},
             Case{"authenticated", -3601, 3600, true, true, {}},
             Case{"plain, first", -3601, 3600, true, false, {Verdict::LeaveAlone, leftAlone}},
             Case{"plain, again", -3601, 3600, true, false, {Verdict::LeaveAlone, ""}},
             Case{"a click after", -3601, 3600, false, false, {Verdict::Ask, question}},
         }) {
        EXPECT_EQ(PermitStep(c.offset, c.limit, c.unattended, c.authenticated, told), c.permission)
            << c.name;
    }
    told.Renew();
    EXPECT_EQ(PermitStep(-3601, 3600, true, false, told).text, leftAlone) << "after a setting";
}

TEST(ToldOnce, UnattendedFailuresInARowAreNotifiedOnceUntilATimeComes) {
    SyncStatus status;
    status.failures.push_back(
        QueryAttempt{"down.test", false, false, 0, 0, QueryFailure::NameNotFound, "", ""});
    ToldOnce told;
    EXPECT_FALSE(told.NoTime(true, status));
    EXPECT_FALSE(told.NoTime(false, status)) << "a click's failure is not counted";
    EXPECT_FALSE(told.NoTime(true, status));
    const std::optional<Notification> third = told.NoTime(true, status);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->title, "Velmora cannot get the time");
    EXPECT_EQ(third->text,
              "The last 3 synchronizations got no time from any server (the name does not "
              "resolve). Check the network connection and that the firewall lets UDP port 123 "
              "out, or add other time servers in Properties.");
    EXPECT_FALSE(told.NoTime(true, status));

    told.TimeCame();
    status.failures.clear();
    EXPECT_FALSE(told.NoTime(true, status));
    EXPECT_FALSE(told.NoTime(true, status));
    const std::optional<Notification> again = told.NoTime(true, status);
    ASSERT_TRUE(again);
    EXPECT_NE(again->text.find("(every server of the list has refused to be asked)"),
              std::string::npos);
}

}  // namespace
}  // namespace velmora
