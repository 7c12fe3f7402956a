#include "sync/DriftFit.h"

#include <gtest/gtest.h>

#include <vector>

#include "sync/DriftText.h"
#include "tests/fixtures/MadeUpHistory.h"

namespace velmora {
namespace {

constexpr double kHour = 3600;

TEST(DriftFit, ASteadyDriftEitherWay) {
    for (double ppm : {12.0, -7.5, 0.2}) {
        const DriftEstimate drift = EstimateDrift(MakeHistory({.ppm = ppm}));
        ASSERT_TRUE(drift.known) << ppm;
        EXPECT_NEAR(drift.ppm, ppm, 0.3) << ppm;
        EXPECT_EQ(drift.answers, 97);
        EXPECT_DOUBLE_EQ(drift.spanSeconds, 24 * kHour);
        EXPECT_NEAR(drift.SecondsPerDay(), ppm * 0.0864, 0.03) << ppm;
    }
    // +12 ppm: 1.04 s a day, one second in about 23 hours.
    const DriftEstimate drift = EstimateDrift(MakeHistory({}));
    EXPECT_NEAR(drift.SecondsToDriftOneSecond() / kHour, 23.1, 0.6);
    ASSERT_EQ(drift.lines.size(), 1u);
    EXPECT_NEAR(drift.lines[0].fromOffset, -0.3, 0.01);
    EXPECT_NEAR(drift.lines[0].toOffset, -0.3 - 12e-6 * 24 * kHour, 0.01);
}

// A step resets the offset: each stretch has its own level, and the rate is still the clock's. A
// single line through all answers would see the steps' jumps as the drift.
TEST(DriftFit, StepsOfTheClockStartNewStretches) {
    const DriftEstimate drift = EstimateDrift(MakeHistory({.ppm = 10, .stepsAt = {6, 15}}));
    ASSERT_TRUE(drift.known);
    EXPECT_NEAR(drift.ppm, 10, 0.3);
    EXPECT_EQ(drift.answers, 95);
    ASSERT_EQ(drift.lines.size(), 3u);
    EXPECT_EQ(drift.steps, 2);
    // The middle stretch runs from the first step, which left the clock a millisecond ahead, to a
    // quarter of an hour before the second.
    EXPECT_DOUBLE_EQ(drift.lines[1].fromSeconds, drift.lines[0].toSeconds + 900);
    EXPECT_NEAR(drift.lines[1].fromOffset, -0.001, 0.005);
    EXPECT_NEAR(drift.lines[1].toOffset, -(0.001 + 10e-6 * 8.75 * kHour), 0.005);
    // A clock stepped every hour still shows its drift, however little each stretch holds.
    const DriftEstimate hourly = EstimateDrift(
        MakeHistory({.hours = 12, .ppm = -20, .stepsAt = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}));
    ASSERT_TRUE(hourly.known);
    EXPECT_NEAR(hourly.ppm, -20, 1);
}

std::vector<double> Hourly(int hours) {
    std::vector<double> at;
    for (int h = 1; h < hours; ++h) {
        at.push_back(h);
    }
    return at;
}

// Each of our steps told a second time, as another copy of the program (on another display) saw
// it: a step by another program of the same size, a moment later.
std::vector<HistoryRecord> SeenByTwoCopies(std::vector<HistoryRecord> history) {
    for (std::size_t i = history.size(); i-- > 0;) {
        if (history[i].kind == HistoryRecord::Kind::Step) {
            HistoryRecord twin = history[i];
            twin.kind = HistoryRecord::Kind::OtherStep;
            twin.unixSeconds += 0.2;
            twin.offsetSeconds += 20e-6;
            history.insert(history.begin() + static_cast<std::ptrdiff_t>(i) + 1, twin);
        }
    }
    return history;
}

// However many stretches, and however few answers each holds, the steps between them are known
// points and the rate comes through.
TEST(DriftFit, ManyStretchesAndStepsOfAllKinds) {
    const MadeUpHistory periodic = {.hours = 48, .every = 3600, .ppm = 15, .stepAfterEvery = 1};
    // An answer, another ten minutes later, and a step.
    const auto pairs = [](int stretches) {
        return MadeUpHistory{
            .hours = (2 * stretches - 1) / 6.0, .every = 600, .ppm = 20, .stepAfterEvery = 2};
    };
    MadeUpHistory periodicAndOther = periodic;
    periodicAndOther.othersAt = {20.5, 30.25};
    periodicAndOther.othersBy = -1.5;
    const struct {
        const char* what;
        std::vector<HistoryRecord> history;
        double ppm;
        int answers;
        int steps;
    } cases[] = {
        {"periodic, every answer followed by a step", MakeHistory(periodic), 15, 49, 48},
        {"700 stretches of two", MakeHistory(pairs(700)), 20, 1400, 699},
        {"290 stretches of two", MakeHistory(pairs(290)), 20, 580, 289},
        {"stepped hourly for 30 days",
         MakeHistory({.hours = 720, .ppm = -20, .stepsAt = Hourly(720)}), -20, 2162, 719},
        {"stepped hourly for 700 hours",
         MakeHistory({.hours = 700, .ppm = -20, .stepsAt = Hourly(700)}), -20, 2102, 699},
        {"stepped hourly for 480 hours",
         MakeHistory({.hours = 480, .ppm = -20, .stepsAt = Hourly(480)}), -20, 1442, 479},
        {"another program's step of 2 s",
         MakeHistory({.ppm = 0, .othersAt = {12.1}, .othersBy = 2}), 0, 97, 1},
        {"periodic, and two steps by others", MakeHistory(periodicAndOther), 15, 49, 50},
        {"periodic, each step told by two copies", SeenByTwoCopies(MakeHistory(periodic)), 15, 49,
         48},
    };
    for (const auto& c : cases) {
        const DriftEstimate drift = EstimateDrift(c.history);
        ASSERT_TRUE(drift.known) << c.what;
        EXPECT_NEAR(drift.ppm, c.ppm, 0.5) << c.what;
        EXPECT_EQ(drift.answers, c.answers) << c.what;
        EXPECT_EQ(drift.steps, c.steps) << c.what;
    }
}

TEST(DriftFit, WildAnswersDoNotMoveIt) {
    std::vector<HistoryRecord> history = MakeHistory({.ppm = 12});
    history[10].offsetSeconds += 5;     // a server far off
    history[40].offsetSeconds -= 3600;  // one an hour off
    for (std::size_t i = 50; i < 60; i += 3) {
        history[i].offsetSeconds += 0.2;  // a few from a server that is wrong by a little
    }
    const DriftEstimate drift = EstimateDrift(history);
    ASSERT_TRUE(drift.known);
    EXPECT_NEAR(drift.ppm, 12, 0.5);
    EXPECT_NEAR(drift.lines[0].fromOffset, -0.3, 0.02);
}

TEST(DriftFit, TooFewAnswersTellNothing) {
    const std::vector<std::vector<HistoryRecord>> tooFew = {
        {},
        MakeHistory({.hours = 0.25}),               // two answers
        MakeHistory({.hours = 0.75, .every = 60}),  // many, within less than an hour
        // A step between two answers, and no third.
        MakeHistory({.hours = 1, .every = 1800, .stepsAt = {0.5}}),
    };
    for (const auto& history : tooFew) {
        const DriftEstimate drift = EstimateDrift(history);
        EXPECT_FALSE(drift.known) << history.size();
        EXPECT_TRUE(drift.lines.empty());
    }
    EXPECT_TRUE(EstimateDrift(MakeHistory({.hours = 1, .every = 1800})).known);
    // Steps between every two answers: each answer is carried over the step after it.
    const DriftEstimate stepped = EstimateDrift(
        MakeHistory({.hours = 4, .stepsAt = {0.25, 0.75, 1.25, 1.75, 2.25, 2.75, 3.25, 3.75}}));
    ASSERT_TRUE(stepped.known);
    EXPECT_NEAR(stepped.ppm, 12, 1);
    EXPECT_EQ(stepped.answers, 9);
    EXPECT_EQ(stepped.steps, 8);
}

// Twenty thousand answers stay within the time of a click.
TEST(DriftFit, AFullHistoryIsThinned) {
    const DriftEstimate drift = EstimateDrift(MakeHistory({.hours = 500, .every = 90, .ppm = 3}));
    ASSERT_TRUE(drift.known);
    EXPECT_NEAR(drift.ppm, 3, 0.1);
    EXPECT_EQ(drift.answers, 20001);
}

TEST(DriftText, RateAndInterval) {
    const auto estimate = [](double ppm) {
        DriftEstimate drift;
        drift.known = true;
        drift.ppm = ppm;
        drift.answers = 97;
        drift.spanSeconds = 24 * kHour;
        return drift;
    };
    const struct {
        double ppm;
        const char* rate;
        const char* interval;
    } cases[] = {
        {12, "The computer clock gains 1.04 s a day (+12.0 ppm), from 97 answers over 24 hours.",
         "Synchronizing every 23 hours keeps it within one second."},
        {-300,
         "The computer clock loses 25.92 s a day (-300.0 ppm), from 97 answers over 24 hours.",
         "Synchronizing every 55 minutes keeps it within one second."},
        {0.2, "The computer clock gains 0.02 s a day (+0.2 ppm), from 97 answers over 24 hours.",
         "That is too little to matter: the clock stays within one second of the servers' time for "
         "more than 30 days."},
        {0.01,
         "The computer clock drifts less than 0.01 s a day (+0.0 ppm), from 97 answers over 24 "
         "hours.",
         "That is too little to matter: the clock stays within one second of the servers' time for "
         "more than 30 days."},
        {40000,
         "The computer clock gains 3456.00 s a day (+40000.0 ppm), from 97 answers over 24 "
         "hours.",
         "Even synchronizing every minute leaves it more than one second off."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DriftRateText(estimate(c.ppm)), c.rate);
        EXPECT_EQ(DriftIntervalText(estimate(c.ppm)), c.interval);
    }
    // The steps it looked across are told as well.
    DriftEstimate stepped = estimate(-20);
    stepped.answers = 2162;
    stepped.steps = 719;
    stepped.spanSeconds = 720 * kHour;
    EXPECT_EQ(DriftRateText(stepped),
              "The computer clock loses 1.73 s a day (-20.0 ppm), from 2162 answers and 719 steps "
              "over 30 days.");
    stepped.steps = 1;
    EXPECT_TRUE(DriftRateText(stepped).ends_with("from 2162 answers and 1 step over 30 days."));
    EXPECT_EQ(DriftRateText(DriftEstimate{}),
              "Too few answers yet to tell the drift: it takes 3 answers over 1 hour or more.");
    EXPECT_EQ(DriftIntervalText(DriftEstimate{}), "");
}

}  // namespace
}  // namespace velmora
