#include "tests/fixtures/ControllerTest.h"

namespace velmora {
namespace {

using KissOfDeath = ControllerTest;

TEST_F(KissOfDeath, DenyAndRestrictTakeTheServerOutForTheRestOfTheRun) {
    for (const char* code : {"DENY", "RSTR"}) {
        net.AddKissingServer(std::string(code) + ".test", code);
    }
    net.AddServer("up.test", Ahead(4));
    StartWithServers("DENY.test|RSTR.test|up.test", false);

    // Without "try next server" only the first entry is asked: each refusal moves that on.
    for (int i = 0; i < 3; ++i) {
        c.CheckTimeServerButtonClick();
    }
    c.Timer1Timer();
    EXPECT_EQ(net.Queried(),
              (std::vector<std::string>{"DENY.test", "RSTR.test", "up.test", "up.test"}));
    EXPECT_TRUE(c.ServerTimeKnown);
    // Only the run's copy changes: the stored list is as the user left it.
    EXPECT_EQ(c.GlobalTimeSrvList, "DENY.test|RSTR.test|up.test");
}

TEST_F(KissOfDeath, RateMakesTheNextPeriodicSynchronizationPassTheServerOverOnce) {
    net.AddKissingServer("busy.test", "RATE");
    net.AddServer("up.test", Ahead(4));
    StartWithServers("busy.test|up.test", true);

    c.CheckTimeServerButtonClick();  // busy.test kisses, up.test answers
    c.CheckTimeServerButtonClick();  // asked by hand: busy.test is asked again
    c.Timer1Timer();                 // passed over
    c.Timer1Timer();                 // asked again, and kisses again
    EXPECT_EQ(net.Queried(),
              (std::vector<std::string>{"busy.test", "up.test", "busy.test", "up.test", "up.test",
                                        "busy.test", "up.test"}));
}

TEST_F(KissOfDeath, OtherCodesAndAListWithNobodyLeftAreFailures) {
    net.AddKissingServer("init.test", "INIT");
    net.AddKissingServer("gone.test", "DENY");
    StartWithServers("init.test|gone.test", true);

    c.CheckTimeServerButtonClick();
    c.ServerList = {"gone.test"};
    c.CheckTimeServerButtonClick();
    EXPECT_EQ(net.Queried(), (std::vector<std::string>{"init.test", "gone.test"}));
    EXPECT_EQ(w.View.ServerText, kFailedToContact);
    EXPECT_FALSE(c.ServerTimeKnown);
}

}  // namespace
}  // namespace velmora
