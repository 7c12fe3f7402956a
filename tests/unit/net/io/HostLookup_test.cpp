#include "net/io/HostLookup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "net/io/synsock.h"

namespace velmora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A lookup that runs until it is waited for with endsWhenAwaited set.
class FakeLookup : public NameLookup {
  public:
    bool Running() override { return !ended; }
    bool Await(std::int32_t timeoutMilliseconds) override {
        waits.push_back(timeoutMilliseconds);
        ended = ended || endsWhenAwaited;
        return ended;
    }
    int Result(std::vector<SocketAddress>& found) override {
        found = addresses;
        return status;
    }

    bool endsWhenAwaited = false;
    bool ended = false;
    int status = 0;
    std::vector<SocketAddress> addresses;
    std::vector<std::int32_t> waits;
};

SocketAddress At(const char* text) {
    return *SocketAddress::FromText(text);
}

// The table over fake lookups, with a hosts file of the test's own.
class LookupTableTest : public ::testing::Test {
  protected:
    LookupTableTest() {
        std::ofstream(hosts) << "# comment\r\n127.0.0.1 localhost\r\n"
                             << "::1 localhost ip6-localhost # both\n"
                             << "192.0.2.7 Time.Example time  # twice on one line\n";
    }
    ~LookupTableTest() override { std::filesystem::remove(hosts); }

    std::vector<SocketAddress> LookUp(const std::string& name, std::int32_t timeout,
                                      int expectedStatus) {
        std::vector<SocketAddress> addresses;
        EXPECT_EQ(table.LookUp(name, timeout, addresses), expectedStatus) << name;
        return addresses;
    }

    // ctest runs the cases side by side: each has a file of its own.
    std::filesystem::path hosts =
        std::filesystem::temp_directory_path() /
        ("velmora-test-hosts-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
         std::to_string(std::random_device{}()));
    std::map<std::string, std::shared_ptr<FakeLookup>> started;
    int startFailure = 0;
    FakeLookup next;  // what the lookups started are like
    LookupTable table{[this](const std::string& name, int& status) -> std::shared_ptr<NameLookup> {
                          if (startFailure != 0) {
                              status = startFailure;
                              return nullptr;
                          }
                          auto lookup = std::make_shared<FakeLookup>(next);
                          started[name] = lookup;
                          return lookup;
                      },
                      hosts};
};

TEST_F(LookupTableTest, AnEndedLookupGivesItsAddressesOrItsError) {
    struct Case {
        int status;
        std::vector<SocketAddress> addresses;
        int expected;
    };
    for (const Case& c :
         {Case{0, {At("192.0.2.1"), At("2001:db8::1")}, 0}, Case{0, {}, wsa::kNoData},
          Case{wsa::kHostNotFound, {}, wsa::kHostNotFound}}) {
        next.endsWhenAwaited = true;
        next.status = c.status;
        next.addresses = c.addresses;
        EXPECT_EQ(LookUp("answered.test", 5000, c.expected), c.addresses);
        EXPECT_THAT(started["answered.test"]->waits, ElementsAre(5000));
        EXPECT_EQ(table.Running(), 0u);
    }
}

TEST_F(LookupTableTest, AGivenUpNameIsJoinedAndTheRunningOnesAreCapped) {
    EXPECT_THAT(LookUp("slow.test", 20, wsa::kTryAgain), IsEmpty());
    EXPECT_THAT(LookUp("slow.test", 30, wsa::kTryAgain), IsEmpty());
    EXPECT_EQ(started.size(), 1u);  // the second waited for the first one's lookup
    EXPECT_THAT(started["slow.test"]->waits, ElementsAre(20, 30));
    for (std::size_t i = 1; i < kMaxLookupsRunning; ++i) {
        LookUp("slow" + std::to_string(i) + ".test", 0, wsa::kTryAgain);
    }
    EXPECT_EQ(table.Running(), kMaxLookupsRunning);
    // Beyond the cap: nothing starts; a name of the hosts file is answered from it, in its order,
    // whatever its case, each address once; a name still running is waited for as before.
    EXPECT_THAT(LookUp("more.test", 5000, wsa::kTryAgain), IsEmpty());
    EXPECT_THAT(LookUp("LocalHost", 5000, 0), ElementsAre(At("127.0.0.1"), At("::1")));
    EXPECT_THAT(LookUp("time.example", 5000, 0), ElementsAre(At("192.0.2.7")));
    EXPECT_EQ(started.size(), kMaxLookupsRunning);
    started["slow.test"]->endsWhenAwaited = true;
    started["slow.test"]->addresses = {At("192.0.2.9")};
    EXPECT_THAT(LookUp("slow.test", 5000, 0), ElementsAre(At("192.0.2.9")));
    // Its end made room for one more.
    LookUp("more.test", 0, wsa::kTryAgain);
    EXPECT_EQ(started.count("more.test"), 1u);
}

TEST_F(LookupTableTest, WhatCannotStartOrIsAskedAmissFailsAtOnce) {
    startFailure = wsa::kNoRecovery;
    EXPECT_THAT(LookUp("time.example", 5000, wsa::kNoRecovery), IsEmpty());
    startFailure = 0;
    EXPECT_THAT(LookUp("time.example", -2, wsa::kInvalidArgument), IsEmpty());
    EXPECT_TRUE(started.empty());
    LookUp("time.example", -1, wsa::kTryAgain);
    EXPECT_THAT(started["time.example"]->waits, ElementsAre(-1));
}

}  // namespace
}  // namespace velmora
