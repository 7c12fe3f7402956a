// The tray tip both front ends show: the hint cut as the design's tip field holds it, then every
// status line.

#include "ui/common/TrayTip.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(TrayTip, TheHintCutTo127UnitsThenEveryLine) {
    const std::string clock = "\U0001F552";  // two UTF-16 units
    const struct {
        std::string hint;
        bool show;
        std::string details;
        std::string tip;
    } cases[] = {
        {"Velmora", true, "", "Velmora"},
        {"Velmora", true, "first\nsecond", "Velmora\nfirst\nsecond"},
        {std::string(200, 'x'), true, "", std::string(127, 'x')},
        {std::string(126, 'x') + clock + "tail", true, "", std::string(126, 'x')},
        {std::string(125, 'x') + clock + "tail", true, "", std::string(125, 'x') + clock},
        {std::string(120, 'x') + "Jürgen", true, "line", std::string(120, 'x') + "Jürgen\nline"},
        {"", true, "first", ""},
        {"Velmora", false, "first", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayTipOf(c.hint, c.show, c.details), c.tip) << c.hint << "|" << c.details;
    }
}

TEST(TrayTip, CutAtALinesEndUnlessNoStatusLineFitsWhole) {
    const std::string line(50, 'a');
    const std::string three = "Velmora\n" + line + "\n" + line + "\n" + line;
    EXPECT_EQ(CutTipToUnits(three, 127), "Velmora\n" + line + "\n" + line);
    EXPECT_EQ(CutTipToUnits(three, 109), "Velmora\n" + line + "\n" + line) << "ends at the cut";
    EXPECT_EQ(CutTipToUnits(three, 500), three);
    EXPECT_EQ(CutTipToUnits("Velmora\n" + line + line + line, 127),
              "Velmora\n" + std::string(119, 'a'));
    EXPECT_EQ(CutTipToUnits(std::string(200, 'v'), 127), std::string(127, 'v'));
}

TEST(TrayTip, StatusLinesOneALine) {
    EXPECT_EQ(LinesText({}), "");
    EXPECT_EQ(LinesText({"one"}), "one");
    EXPECT_EQ(LinesText({"one", "", "three"}), "one\n\nthree");
}

}  // namespace
}  // namespace velmora
