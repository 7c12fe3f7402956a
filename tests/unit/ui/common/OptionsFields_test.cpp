// How the options dialog's memo holds the server list, and what the interval field takes.

#include "ui/common/OptionsFields.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(OptionsFields, ServerListRoundTripsThroughTheMemoLines) {
    struct Case {
        std::string list;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a.example||b.example", {"a.example", "", "b.example"}},
        {"", {}},
        {"only", {"only"}},
        {" spaced | x |", {" spaced ", " x ", "", ""}},
        {"|", {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        EXPECT_EQ(ServerLinesOf(c.list), c.lines);
        EXPECT_EQ(ServerListOf(c.lines), c.list);
    }
    EXPECT_EQ(ServerListOf({"first", ""}), "first") << "Enter after the last host adds none";
    EXPECT_EQ(ServerListOf({"first", "", ""}), "first|");
}

TEST(OptionsFields, TheIntervalFieldTakesDigitsAndControlCharacters) {
    for (char32_t c : {U'0', U'5', U'9', U'\b', char32_t{0x16}, char32_t{0x7F}}) {
        EXPECT_TRUE(IntervalFieldTakes(c)) << static_cast<int>(c);
    }
    for (char32_t c : {U'a', U' ', U'-', U'+', U'.', U'/', U':', U'\u0663', U'\uFF11'}) {
        EXPECT_FALSE(IntervalFieldTakes(c)) << static_cast<int>(c);
    }
}

}  // namespace
}  // namespace velmora
