// Settings of the clock that the kernel tells of: another program's go into the history as steps
// of their own kind, with their size; our own step, which the kernel tells of as well, is kept
// once, whenever the word comes.

#include "tests/fixtures/ControllerTest.h"

namespace velmora {
namespace {

struct Step {
    HistoryRecord::Kind kind;
    double seconds;
};

struct Setting {
    const char* what;
    // Whether our synchronization sets the clock (by 42 s), and whether the system refuses it.
    bool synchronize;
    bool refused;
    // How far another program moves the clock: on its own, or while our step is under way.
    double other;
    // The kernel's word of our own step comes before the worker has handed the step back.
    bool toldDuringStep;
    std::vector<Step> kept;
};

void PrintTo(const Setting& s, std::ostream* out) {
    *out << s.what;
}

constexpr auto kOurs = HistoryRecord::Kind::Step;
constexpr auto kOthers = HistoryRecord::Kind::OtherStep;

class ClockSettings : public ControllerTest, public ::testing::WithParamInterface<Setting> {
  protected:
    // The steps kept in the history.
    std::vector<Step> Steps() const {
        std::vector<Step> steps;
        for (const HistoryRecord& r : w.History.Records) {
            if (r.IsStep()) {
                steps.push_back({r.kind, r.offsetSeconds});
            }
        }
        return steps;
    }
};

TEST_P(ClockSettings, EachKeptOnceWithItsSize) {
    const Setting& s = GetParam();
    net.AddServer("up.test", Ahead(42));
    StartWithServers("up.test", false);
    w.Clock.Refuse = s.refused;
    w.Clock.OnSet = [this, &s] {
        w.ClockWatch.Change += s.other;
        if (s.toldDuringStep) {
            c.ClockWasSet();
        }
    };
    if (s.synchronize) {
        c.Synchronizecomputerclock1Click();
    } else {
        w.ClockWatch.Change = s.other;
    }
    c.ClockWasSet();
    c.ClockWasSet();

    const std::vector<Step> steps = Steps();
    ASSERT_EQ(steps.size(), s.kept.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].kind, s.kept[i].kind) << i;
        EXPECT_NEAR(steps[i].seconds, s.kept[i].seconds, 1e-6) << i;
    }
    if (!steps.empty()) {
        EXPECT_EQ(w.History.Records.back().unixSeconds, ToUnixSeconds(w.Clock.UtcNow()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    TheKernelsWord, ClockSettings,
    ::testing::Values(
        Setting{"another program sets the clock 2 s ahead", false, false, 2, false, {{kOthers, 2}}},
        Setting{"the user sets it back an hour", false, false, -3600, false, {{kOthers, -3600}}},
        Setting{"a resume from suspend changes nothing", false, false, 0, false, {}},
        Setting{"less than a millisecond is no step", false, false, 0.0004, false, {}},
        Setting{"our step, told after it came back", true, false, 0, false, {{kOurs, 42}}},
        Setting{"our step, told before it came back", true, false, 0, true, {{kOurs, 42}}},
        Setting{"another's step while ours is under way",
                true,
                false,
                5,
                true,
                {{kOurs, 42}, {kOthers, 5}}},
        Setting{
            "another's step while ours is refused", true, true, -1.5, false, {{kOthers, -1.5}}}));

using ClockSettingDuringAQuery = ControllerTest;

// Another program set the clock while the servers were asked, and the answer came back before the
// kernel's word: the answer already shows the setting, so the step comes first in the history.
TEST_F(ClockSettingDuringAQuery, IsKeptBeforeTheAnswer) {
    net.AddServer("up.test", Ahead(3));
    StartWithServers("up.test", false);
    w.Work.Hold = true;
    c.CheckTimeServerButtonClick();
    w.ClockWatch.Change = -3;
    w.Work.RunHeld();
    c.ClockWasSet();

    ASSERT_EQ(w.History.Records.size(), 2u);
    EXPECT_EQ(w.History.Records[0].kind, kOthers);
    EXPECT_DOUBLE_EQ(w.History.Records[0].offsetSeconds, -3);
    EXPECT_EQ(w.History.Records[1].kind, HistoryRecord::Kind::Answer);
}

}  // namespace
}  // namespace velmora
