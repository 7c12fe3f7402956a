// The History window over made-up histories: the drift figures it shows, what the plot takes in,
// and records kept while it is open.

#include "ui/qt/HistoryWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>

#include "tests/fixtures/FakeHistoryStore.h"
#include "tests/fixtures/MadeUpHistory.h"
#include "tests/fixtures/ui_test_main.h"

namespace velmora {
namespace {

// Pixels of the violet that another program's steps are drawn in, pure or blended with the white
// around them: no other mark has more red than green and more blue than red.
int VioletPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() - c.green() > 30 && c.blue() - c.red() > 15 ? 1 : 0;
        }
    }
    return count;
}

class HistoryWindowTest : public ::testing::Test {
  protected:
    QString Text(const char* label) const {
        const auto* found = window.findChild<QLabel*>(label);
        EXPECT_NE(found, nullptr) << label;
        return found ? found->text() : "";
    }
    const THistoryPlot& Plot() const { return *window.findChild<THistoryPlot*>("HistoryPlot"); }
    // Paints the window as the screen would.
    QImage Painted() { return window.grab().toImage(); }

    FakeHistoryStore store;
    HistoryFeed feed{store};
    THistoryWindow window{feed};
};

TEST_F(HistoryWindowTest, ADayOfSteadyDriftInFigures) {
    store.Records = MakeHistory({.ppm = 12, .stepsAt = {9}, .authenticatedEvery = 4});
    window.show();
    EXPECT_EQ(window.windowTitle(), "History");
    EXPECT_FALSE(window.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(
        Text("DriftLabel"),
        "The computer clock gains 1.04 s a day (+12.0 ppm), from 96 answers and 1 step over 24 "
        "hours.");
    EXPECT_EQ(Text("IntervalLabel"), "Synchronizing every 23 hours keeps it within one second.");
    EXPECT_TRUE(Text("SummaryLabel")
                    .startsWith("96 answers (24 authenticated) and 1 step of the "
                                "clock since "));
    // Every record lies in the picture.
    const THistoryPlot::Range& shown = Plot().Shown();
    for (const HistoryRecord& record : store.Records) {
        EXPECT_GT(record.unixSeconds, shown.fromSeconds);
        EXPECT_LT(record.unixSeconds, shown.toSeconds);
        if (record.kind == HistoryRecord::Kind::Answer) {
            EXPECT_GT(record.offsetSeconds, shown.lowOffset);
            EXPECT_LT(record.offsetSeconds, shown.highOffset);
        }
    }
    const QImage painted = Painted();
    EXPECT_FALSE(painted.isNull());
    EXPECT_EQ(VioletPixels(painted), 0);

    // Records kept while it is open show at once.
    feed.Append(
        {HistoryRecord::Kind::Step, store.Records.back().unixSeconds + 60, "", 0.5, 0, false});
    EXPECT_TRUE(Text("SummaryLabel").contains("and 2 steps of the clock"));
    EXPECT_EQ(store.Records.size(), 98u);
}

// Another program set the clock 2 s ahead: a step like ours for the drift, told and drawn apart.
TEST_F(HistoryWindowTest, AStepByAnotherProgramIsAStepDrawnApart) {
    store.Records = MakeHistory({.ppm = 0, .othersAt = {12.1}, .othersBy = 2});
    window.show();
    EXPECT_TRUE(Text("SummaryLabel")
                    .startsWith("97 answers (0 authenticated) and 1 step of the clock (1 "
                                "by another program) since "));
    EXPECT_EQ(Text("DriftLabel").toStdString(),
              "The computer clock drifts less than 0.01 s a day (-0.0 ppm), from 97 answers and "
              "1 step over 24 hours.");
    const QImage painted = Painted();
    EXPECT_GT(VioletPixels(painted), 100);
    feed.Append(
        {HistoryRecord::Kind::OtherStep, store.Records.back().unixSeconds + 60, "", -1, 0, false});
    EXPECT_TRUE(Text("SummaryLabel").contains("2 steps of the clock (2 by other programs)"));

    // The few answers after a big step are no wild ones: they stay in the picture.
    window.hide();
    store.Records = MakeHistory({.ppm = 0, .othersAt = {21}, .othersBy = -5});
    window.show();
    for (const HistoryRecord& record : store.Records) {
        if (record.kind == HistoryRecord::Kind::Answer) {
            EXPECT_GT(record.offsetSeconds, Plot().Shown().lowOffset);
            EXPECT_LT(record.offsetSeconds, Plot().Shown().highOffset);
        }
    }
}

TEST_F(HistoryWindowTest, TooFewAnswersAndNoneAtAll) {
    window.show();
    EXPECT_EQ(Text("SummaryLabel"), "No answers and no steps of the clock kept yet.");
    EXPECT_TRUE(Text("DriftLabel").startsWith("Too few answers yet to tell the drift"));
    EXPECT_FALSE(window.findChild<QLabel*>("IntervalLabel")->isVisible());
    Painted();
    window.hide();
    store.Records = MakeHistory({.hours = 0.5});
    window.show();
    EXPECT_TRUE(Text("SummaryLabel").startsWith("3 answers (0 authenticated) and 0 steps"));
    EXPECT_TRUE(Text("DriftLabel").startsWith("Too few answers yet to tell the drift"));
    Painted();
}

// One answer an hour off would flatten all the others: it is drawn at the edge instead.
TEST_F(HistoryWindowTest, AWildAnswerDoesNotFlattenThePicture) {
    store.Records = MakeHistory({.ppm = -8});
    store.Records[20].offsetSeconds = 3600;
    store.Records[30].offsetSeconds = -3600;
    window.show();
    EXPECT_LT(Plot().Shown().highOffset, 1);
    EXPECT_GT(Plot().Shown().lowOffset, -1);
    EXPECT_TRUE(Text("DriftLabel").contains("loses 0.69 s a day (-8.0 ppm)"));
    Painted();
}

}  // namespace
}  // namespace velmora
