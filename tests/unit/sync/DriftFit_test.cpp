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
    // The middle stretch runs from a quarter of an hour after the first step to a quarter of an
    // hour before the second.
    EXPECT_NEAR(drift.lines[1].fromOffset, -(0.001 + 10e-6 * 900), 0.005);
    EXPECT_NEAR(drift.lines[1].toOffset, -(0.001 + 10e-6 * 8.75 * kHour), 0.005);
    // A clock stepped every hour still shows its drift, however little each stretch holds.
    const DriftEstimate hourly = EstimateDrift(
        MakeHistory({.hours = 12, .ppm = -20, .stepsAt = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}));
    ASSERT_TRUE(hourly.known);
    EXPECT_NEAR(hourly.ppm, -20, 1);
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
        // Steps between every two answers: no stretch holds two.
        MakeHistory({.hours = 4, .stepsAt = {0.25, 0.75, 1.25, 1.75, 2.25, 2.75, 3.25, 3.75}}),
    };
    for (const auto& history : tooFew) {
        const DriftEstimate drift = EstimateDrift(history);
        EXPECT_FALSE(drift.known) << history.size();
        EXPECT_TRUE(drift.lines.empty());
    }
    EXPECT_TRUE(EstimateDrift(MakeHistory({.hours = 1, .every = 1800})).known);
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
    EXPECT_EQ(DriftRateText(DriftEstimate{}),
              "Too few answers yet to tell the drift: it takes 3 answers over 1 hour or more "
              "between two steps of the clock.");
    EXPECT_EQ(DriftIntervalText(DriftEstimate{}), "");
}

}  // namespace
}  // namespace velmora
