#include "sync/IntervalRule.h"

#include <gtest/gtest.h>

#include <optional>

namespace velmora {
namespace {

TEST(IntervalRule, TextsTheDialogTakes) {
    struct Case {
        const char* text;
        bool hours;
        std::optional<std::int32_t> milliseconds;
    };
    const Case cases[] = {
        {"5", false, 300000},
        {" 7\t", false, 420000},
        {"+2", true, 7200000},
        {"0", true, 0},
        {"596", true, 2145600000},    // the most hours that fit
        {"597", true, std::nullopt},  // 2,149,200,000 ms would wrap
        {"35791", false, 2147460000},
        {"35792", false, std::nullopt},
        {"99999999999999999999", false, std::nullopt},
        {"-5", false, std::nullopt},
        {"-0", false, 0},
        {"", false, std::nullopt},
        {"  ", true, std::nullopt},
        {"4h", true, std::nullopt},
        {"1.5", true, std::nullopt},
        {"$10", false, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntervalMilliseconds(c.text, c.hours), c.milliseconds)
            << "'" << c.text << "' " << (c.hours ? "hours" : "minutes");
    }
}

TEST(IntervalRule, StoredIntervalsShowInWholeUnits) {
    EXPECT_EQ(IntervalText(5400000, true), "1") << "90 minutes as hours";
    EXPECT_EQ(IntervalText(5400000, false), "90");
    EXPECT_EQ(IntervalText(86400000, false), "1440");
    EXPECT_EQ(IntervalText(30, true), "0") << "the default";
    EXPECT_EQ(IntervalText(-90000, false), "-1") << "cut toward zero";
}

}  // namespace
}  // namespace velmora
