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
    EXPECT_FALSE(Painted().isNull());

    // Records kept while it is open show at once.
    feed.Append(
        {HistoryRecord::Kind::Step, store.Records.back().unixSeconds + 60, "", 0.5, 0, false});
    EXPECT_TRUE(Text("SummaryLabel").contains("and 2 steps of the clock"));
    EXPECT_EQ(store.Records.size(), 98u);
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
