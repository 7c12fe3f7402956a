#pragma once

#include <gtest/gtest.h>

#include "core/Error.h"
#include "sync/DateTimeText.h"
#include "tests/fixtures/FakeMainWindow.h"
#include "tests/fixtures/FakeSntpNetwork.h"

namespace velmora {

inline constexpr double kMillisecond = 1.0 / kMillisecondsPerDay;
inline constexpr double kSecond = 1.0 / kSecondsPerDay;

// A window one hour east of GMT (no daylight saving), its clock standing still, and time
// servers in memory.
class ControllerTest : public ::testing::Test {
  protected:
    static constexpr double kBias = -60.0 / kMinutesPerDay;

    ControllerTest() {
        w.Zone.Info = FakeTimeZoneSource::Fixed(-60);
        w.Clock.UtcMinusLocal = kBias;
        w.Clients = [this] { return net.MakeClient([this] { return w.Clock.UtcNow(); }); };
    }

    // UTC of a server that runs `seconds` ahead of the computer clock.
    TDateTime Ahead(double seconds) const { return w.Clock.UtcNow() + seconds * kSecond; }

    void StartWithServers(const std::string& list, bool nextOnFail) {
        w.SetKey("GlobalTimeSrvList", list);
        w.SetKey("GlobalNextSrvOnFail", nextOnFail ? "1" : "0");
        c.FormCreate();
    }

    FakeSntpNetwork net;
    FakeMainWindow w;
    SyncController& c = w.Controller;
};

}  // namespace velmora
