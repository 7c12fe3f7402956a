// What the History window reads and shows, whichever toolkit draws it: the words below the plot,
// the time ticks' labels, and the tip of the answer under the pointer.

#include "ui/common/HistoryShown.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fixtures/FakeHistoryStore.h"
#include "ui/common/HistoryTexts.h"

namespace velmora {
namespace {

std::string Written(double seconds) {
    return "at " + std::to_string(static_cast<long long>(seconds));
}

HistoryRecord Answer() {
    HistoryRecord answer;
    answer.unixSeconds = 1000;
    answer.entry = "a";
    answer.offsetSeconds = 0.1;
    return answer;
}

TEST(HistoryShown, TheReadingOfAnEmptyAndAFullHistory) {
    FakeHistoryStore store;
    HistoryReading empty = ReadHistory(store, Written);
    EXPECT_EQ(empty.summary, "No answers and no steps of the clock kept yet.");
    EXPECT_FALSE(empty.drift.known);
    EXPECT_EQ(empty.interval, "");

    HistoryRecord step;
    step.kind = HistoryRecord::Kind::Step;
    step.unixSeconds = 2000;
    store.Records = {Answer(), step};
    const HistoryReading read = ReadHistory(store, Written);
    EXPECT_EQ(read.records, store.Records);
    EXPECT_TRUE(read.summary.ends_with(" since at 1000.")) << read.summary;
    EXPECT_FALSE(read.rate.empty());
}

TEST(HistoryShown, TimeTickLabels) {
    const struct {
        bool withTime;
        bool withDate;
        std::string label;
    } cases[] = {
        {false, true, "Tue 1 Dec"}, {true, false, "01:00"}, {true, true, "01:00\nTue 1 Dec"}};
    for (const auto& c : cases) {
        TimeTick tick;
        tick.withTime = c.withTime;
        tick.withDate = c.withDate;
        EXPECT_EQ(TimeTickLabel(tick, "Tue 1 Dec", "01:00"), c.label);
    }
}

TEST(HistoryShown, TheTipIsTheNearestAnswersOrNone) {
    HistoryShown shown;
    const HistoryRecord answer = Answer();
    shown.Set({answer}, {});
    HistoryPicture picture;
    picture.answers.push_back(AnswerMarkAt{.at = {50, 50}, .record = 0});
    EXPECT_EQ(shown.TipAt(picture, {51, 50}, 1, Written), AnswerTipText(answer, "at 1000"));
    EXPECT_EQ(shown.TipAt(picture, {300, 300}, 1, Written), "");
}

}  // namespace
}  // namespace velmora
