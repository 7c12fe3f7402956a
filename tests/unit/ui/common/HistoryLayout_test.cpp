// The History plot's layout, which both front ends paint: what is shown, the ticks across and
// upward, the legend's rows, where the marks go and which mark the pointer is near.

#include <gtest/gtest.h>

#include <cmath>

#include "sync/DriftFit.h"
#include "tests/fixtures/MadeUpHistory.h"
#include "ui/common/HistoryPicture.h"
#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

// 6 pixels a character, lines 14 high.
class FixedMeasure : public TextMeasure {
  public:
    double Width(const std::string& text) const override {
        double characters = 0;
        for (unsigned char c : text) {
            characters += (c & 0xC0) == 0x80 ? 0 : 1;
        }
        return 6 * characters;
    }
    double Height() const override { return 14; }
    double Ascent() const override { return 11; }
    double Descent() const override { return 3; }
};

// Local days an hour ahead of UTC; the day after `shortDay` is 23 hours long, as when the clocks
// go forward.
class ZoneDays : public LocalDays {
  public:
    double shortDay = -1;
    double StartOfDay(double seconds) const override {
        return std::floor((seconds + 3600) / 86400) * 86400 - 3600;
    }
    double DaysLater(double dayStart, int days) const override {
        const double later = dayStart + days * 86400.0;
        return shortDay >= 0 && dayStart <= shortDay && later > shortDay ? later - 3600 : later;
    }
};

constexpr double kStart = 1796083200;  // a midnight UTC

HistoryRecord Answer(double at, double offset, bool authenticated = false) {
    return {HistoryRecord::Kind::Answer, at, "ntp.example", offset, 0.02, authenticated};
}

HistoryRecord Step(double at, double by, bool byOther = false) {
    return {
        byOther ? HistoryRecord::Kind::OtherStep : HistoryRecord::Kind::Step, at, "", by, 0, false};
}

struct Laid {
    std::vector<HistoryRecord> records;
    DriftEstimate drift;
    HistoryRange range;
    HistoryPicture picture;
};

Laid LayOut(std::vector<HistoryRecord> records, PlotCanvas canvas = {760, 400, 1},
            const ZoneDays& days = ZoneDays()) {
    Laid laid{std::move(records), {}, {}, {}};
    laid.drift = EstimateDrift(laid.records);
    laid.range = FitHistoryRange(laid.records, laid.drift.lines);
    laid.picture =
        LayOutHistory(laid.records, laid.drift, laid.range, canvas, FixedMeasure(), days);
    return laid;
}

TEST(HistoryRange, WhatIsShown) {
    EXPECT_EQ(FitHistoryRange({}, {}).toSeconds, 0) << "nothing for no records";

    // One answer: ten minutes around it, and zero upward as well as its offset.
    HistoryRange one = FitHistoryRange({Answer(kStart, 0.5)}, {});
    EXPECT_NEAR(one.toSeconds - one.fromSeconds, 600 * 1.04, 1e-6);
    EXPECT_NEAR((one.fromSeconds + one.toSeconds) / 2, kStart, 1e-6);
    EXPECT_LT(one.lowOffset, 0);
    EXPECT_GT(one.highOffset, 0.5);

    // Offsets all alike still span two milliseconds.
    HistoryRange flat = FitHistoryRange({Answer(kStart, 0), Answer(kStart + 900, 0)}, {});
    EXPECT_GE(flat.highOffset - flat.lowOffset, 2e-3);

    // Wild answers are fenced off; the line of a stretch after a big step is not.
    std::vector<HistoryRecord> wild = MakeHistory({.ppm = -8});
    wild[20].offsetSeconds = 3600;
    wild[30].offsetSeconds = -3600;
    HistoryRange fenced = FitHistoryRange(wild, {});
    EXPECT_LT(fenced.highOffset, 1);
    EXPECT_GT(fenced.lowOffset, -1);
    HistoryRange stepped = FitHistoryRange(wild, {{kStart, kStart + 3600, -40, -40.01}});
    EXPECT_LT(stepped.lowOffset, -40.01);
}

TEST(HistoryTicks, AcrossAtLocalTimesWithRoomForTheirLabels) {
    struct Case {
        double hours;
        double width;
        double step;  // seconds between ticks
    };
    const Case cases[] = {{24, 760, 3 * 3600},
                          {24, 420, 6 * 3600},
                          {1, 760, 600},
                          {24 * 20, 760, 7 * 86400},
                          {24 * 400, 760, 91 * 86400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hours);
        Laid laid =
            LayOut(MakeHistory({.hours = c.hours, .every = c.hours * 36}), {c.width, 400, 1});
        const std::vector<TimeTick>& ticks = laid.picture.timeTicks;
        ASSERT_GE(ticks.size(), 2u);
        const ZoneDays days;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_GE(ticks[i].seconds, laid.range.fromSeconds);
            EXPECT_LE(ticks[i].seconds, laid.range.toSeconds);
            EXPECT_GE(ticks[i].label.left, 0);
            EXPECT_LE(ticks[i].label.Right(), c.width) << "labels stay in the window";
            const bool midnight = days.StartOfDay(ticks[i].seconds) == ticks[i].seconds;
            EXPECT_EQ(ticks[i].withTime, c.step < 86400);
            EXPECT_EQ(ticks[i].withDate, !ticks[i].withTime || i == 0 || midnight);
            if (c.step >= 86400) {
                EXPECT_TRUE(midnight) << "days start at local midnight";
            }
            if (i > 0) {
                EXPECT_NEAR(ticks[i].seconds - ticks[i - 1].seconds, c.step, 1e-6);
                EXPECT_GT(ticks[i].x - ticks[i - 1].x, ticks[i].label.width * 0.9);
            }
        }
    }
    // A short day in between: the ticks follow the calendar, not 86400 s.
    ZoneDays days;
    days.shortDay = kStart + 5 * 86400 - 3600;
    Laid laid = LayOut(MakeHistory({.hours = 24 * 20, .every = 24 * 36}), {760, 400, 1}, days);
    for (const TimeTick& tick : laid.picture.timeTicks) {
        const double fromMidnight = std::fmod(tick.seconds + 3600, 86400);
        EXPECT_EQ(fromMidnight, tick.seconds > days.shortDay ? 82800 : 0);
    }
}

TEST(HistoryTicks, UpwardAtRoundOffsets) {
    struct Case {
        double low, high;
        const char* label;  // of the first tick above zero
    };
    const Case cases[] = {{-0.004, 0.02, "+0.005 s"}, {-3, 12, "+2 s"}, {0, 0.3, "+0.05 s"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Laid laid = LayOut({Answer(kStart, c.low), Answer(kStart + 900, c.high)});
        const std::vector<OffsetTick>& ticks = laid.picture.offsetTicks;
        ASSERT_GE(ticks.size(), 3u);
        const double step = ticks[1].offset - ticks[0].offset;
        for (const OffsetTick& tick : ticks) {
            EXPECT_NEAR(std::remainder(tick.offset, step), 0, step * 1e-6);
            EXPECT_EQ(tick.zero, std::abs(tick.offset) < step / 2);
            EXPECT_GE(tick.y, laid.picture.area.top);
            EXPECT_LE(tick.y, laid.picture.area.Bottom());
            EXPECT_LE(tick.labelBox.Right(), laid.picture.area.left);
            if (tick.zero) {
                EXPECT_EQ(tick.label, "0 s");
            } else if (tick.offset < 0) {
                EXPECT_EQ(tick.label.rfind("\xE2\x88\x92", 0), 0u) << "a true minus sign";
            }
        }
        const auto above = std::find_if(ticks.begin(), ticks.end(),
                                        [](const OffsetTick& t) { return t.offset > 1e-12; });
        ASSERT_NE(above, ticks.end());
        EXPECT_EQ(above->label, c.label);
    }
}

TEST(HistoryLegend, RowsForTheWidthAndOtherProgramsOnlyWhenThere) {
    struct Case {
        double width;
        bool byOther;
        std::size_t entries;
        int rows;
    };
    const Case cases[] = {
        {760, false, 4, 1}, {600, true, 5, 2}, {420, false, 4, 2}, {760, true, 5, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        std::vector<HistoryRecord> records = {Answer(kStart, 0.1),
                                              Step(kStart + 60, -0.1, c.byOther)};
        Laid laid = LayOut(records, {c.width, 400, 1});
        const std::vector<LegendEntry>& legend = laid.picture.legend;
        ASSERT_EQ(legend.size(), c.entries);
        EXPECT_EQ(legend.back().row + 1, c.rows);
        for (std::size_t i = 0; i < legend.size(); ++i) {
            EXPECT_LE(legend[i].wordsAt.x + FixedMeasure().Width(legend[i].words), c.width);
            EXPECT_LT(legend[i].wordsAt.y, laid.picture.captionAt.y) << "above the caption";
            if (i > 0 && legend[i].row == legend[i - 1].row) {
                EXPECT_GT(legend[i].x, legend[i - 1].wordsAt.x);
            }
        }
        EXPECT_LT(laid.picture.captionAt.y, laid.picture.area.top);
    }
}

TEST(HistoryPicture, WhereTheMarksGo) {
    std::vector<HistoryRecord> records = MakeHistory({.ppm = 12, .authenticatedEvery = 4});
    records[10].offsetSeconds = 3600;
    records[11].offsetSeconds = -3600;
    records.push_back(Step(records.back().unixSeconds + 1, -1.5));
    records.push_back(Step(records.back().unixSeconds + 1, 0.25, true));
    Laid laid = LayOut(records);
    const HistoryPicture& p = laid.picture;
    ASSERT_EQ(p.answers.size(), records.size() - 2);
    for (const AnswerMarkAt& mark : p.answers) {
        const HistoryRecord& record = records[mark.record];
        EXPECT_EQ(mark.authenticated, record.authenticated);
        EXPECT_GE(mark.at.y, p.area.top);
        EXPECT_LE(mark.at.y, p.area.Bottom());
        const AnswerMarkAt::Place expected =
            record.offsetSeconds > 1000    ? AnswerMarkAt::Place::Above
            : record.offsetSeconds < -1000 ? AnswerMarkAt::Place::Below
                                           : AnswerMarkAt::Place::Inside;
        EXPECT_EQ(mark.place, expected);
        if (mark.place != AnswerMarkAt::Place::Inside) {
            const auto corners = BeyondTriangle(mark, 1);
            EXPECT_EQ(corners[0].y, mark.at.y) << "the tip on the edge";
            EXPECT_EQ(corners[1].y > mark.at.y, mark.place == AnswerMarkAt::Place::Above);
        }
    }
    // Two steps a second apart: both drawn, the second's label left out over the first's.
    ASSERT_EQ(p.steps.size(), 2u);
    EXPECT_FALSE(p.steps[0].byOther);
    EXPECT_TRUE(p.steps[1].byOther);
    EXPECT_TRUE(p.steps[0].labelShown);
    EXPECT_EQ(p.steps[0].label,
              "\xE2\x88\x92"
              "1.500 s");
    EXPECT_FALSE(p.steps[1].labelShown);
    ASSERT_EQ(p.drift.size(), laid.drift.lines.size());

    // The pointer finds the nearest answer within six pixels, and none farther off.
    const AnswerMarkAt& some = p.answers[40];
    EXPECT_EQ(AnswerNear(p, {some.at.x + 2, some.at.y - 2}, 1), some.record);
    EXPECT_FALSE(AnswerNear(p, {some.at.x, some.at.y + 40}, 1).has_value());

    // Twice the pixels: margins twice as wide, everything still inside the canvas.
    Laid dense = LayOut(records, {1520, 800, 2});
    EXPECT_GT(dense.picture.area.top, p.area.top);
    EXPECT_NEAR(1520 - dense.picture.area.Right(), 2 * (760 - p.area.Right()), 1e-6);
    EXPECT_TRUE(LayOut({}).picture.empty);
}

TEST(HistoryTexts, SummaryAndTip) {
    EXPECT_EQ(HistorySummaryText({}, "x"), "No answers and no steps of the clock kept yet.");
    EXPECT_EQ(
        HistorySummaryText({Answer(kStart, 0.1, true), Step(kStart, 1), Step(kStart, 2, true)},
                           "Tue 1 Dec 2026 01:00"),
        "1 answer (1 authenticated) and 2 steps of the clock (1 by another program) since "
        "Tue 1 Dec 2026 01:00.");
    EXPECT_EQ(AnswerTipText(Answer(kStart, -0.0123456, true), "Tue 1 Dec 01:00:00"),
              "Tue 1 Dec 01:00:00, ntp.example, authenticated\noffset \xE2\x88\x92"
              "0.012346 s, round trip 0.020 s");
}

}  // namespace
}  // namespace velmora
