#include "net/SNTPsend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <deque>
#include <ostream>

#include "tests/fixtures/ServerReply.h"
#include "tests/fixtures/SocketFakeApi.h"

namespace velmora {
namespace {

// Whole seconds since 1900 of the base instant every case is measured from (2023-08-02).
constexpr std::uint32_t kBaseSeconds = 3900000000u;
constexpr TDateTime kBase = kNtpEpoch + kBaseSeconds / kSecondsPerDay;

TDateTime At(double secondsAfterBase) {
    return kBase + secondsAfterBase / kSecondsPerDay;
}

// Fraction word for f seconds, rounded up so that decoding gives f back to the tenth of a ms.
std::uint32_t FractionWord(double f) {
    return static_cast<std::uint32_t>(std::ceil(f * 4294967295.0));
}

struct Header {
    std::uint8_t liVnMode = 0x1C;
    std::uint8_t stratum = 1;
    double receive = 0;   // seconds after base
    double transmit = 0;  // seconds after base
    bool zeroReceiveSeconds = false;
    bool zeroTransmitSeconds = false;
    std::size_t length = 48;
};

std::string Stamp(double secondsAfterBase, bool zeroSeconds) {
    const double whole = std::floor(secondsAfterBase);
    const std::uint32_t words[2] = {
        htonl(zeroSeconds ? 0u : kBaseSeconds + static_cast<std::uint32_t>(whole)),
        htonl(FractionWord(secondsAfterBase - whole))};
    return std::string(reinterpret_cast<const char*>(words), sizeof words);
}

// A server's answer to `request` with the header `h`.
std::string Answer(const std::string& request, const Header& h) {
    ReplyFields fields;
    fields.leap = h.liVnMode >> 6;
    fields.version = (h.liVnMode >> 3) & 7;
    fields.mode = h.liVnMode & 7;
    fields.stratum = h.stratum;
    fields.receive = Stamp(h.receive, h.zeroReceiveSeconds);
    fields.transmit = Stamp(h.transmit, h.zeroTransmitSeconds);
    fields.length = h.length;
    return ServerReply(request, fields);
}

class SntpTest : public ::testing::Test {
  protected:
    SntpTest() : client(api, [this] { return NextTime(); }) {
        client.ServerHost = "127.0.0.2";
        client.ReplyTimeout = 1000;
    }

    TDateTime NextTime() {
        const TDateTime t = times.empty() ? At(0) : times.front();
        if (!times.empty()) {
            times.pop_front();
        }
        return t;
    }

    // Answers every request from the server with `header`, T1 and T4 as given.
    void Serve(const Header& header, double t1 = 0, double t4 = 0.110) {
        times = {At(t1), At(t4)};
        api.OnSend = [this, header](const SocketFakeApi::Datagram& sent) {
            api.Deliver(Answer(sent.bytes, header), "127.0.0.2", 123);
        };
    }

    SocketFakeApi api;
    std::deque<TDateTime> times;
    TSNTPSend client;
};

const Header kWorkedExample{.receive = 2.050, .transmit = 2.060};

TEST_F(SntpTest, TheRequestCarriesT1AsBothOriginateAndTransmitTime) {
    Serve(kWorkedExample, 0.5);
    ASSERT_TRUE(client.QueryServer());
    ASSERT_EQ(api.Sent.size(), 1u);
    const auto& sent = api.Sent[0];
    EXPECT_EQ(sent.peer, SocketFakeApi::Address("127.0.0.2", 123));
    ASSERT_EQ(sent.bytes.size(), 48u);
    TNtpPacket request;
    std::memcpy(&request, sent.bytes.data(), 48);
    EXPECT_EQ(request.LiVnMode, 27);
    std::uint32_t words[2];
    EncodeTimestamp(At(0.5), words[0], words[1]);
    EXPECT_EQ(request.OriginateTime[0], words[0]);
    EXPECT_EQ(request.OriginateTime[1], words[1]);
    EXPECT_EQ(request.TransmitTime[0], words[0]);
    EXPECT_EQ(request.TransmitTime[1], words[1]);
    EXPECT_EQ(sent.bytes.substr(1, 23), std::string(23, '\0'));
    EXPECT_EQ(sent.bytes.substr(32, 8), std::string(8, '\0'));
}

TEST_F(SntpTest, WorkedExampleGivesDelayOffsetAndServerTime) {
    Serve(kWorkedExample);
    ASSERT_TRUE(client.QueryServer());
    EXPECT_NEAR(client.DelaySeconds(), 0.120, 1e-5);
    EXPECT_NEAR(client.OffsetSeconds(), 2.000, 1e-5);
    EXPECT_NEAR((client.ServerTime() - At(2.120)) * kSecondsPerDay, 0, 1e-5);
    EXPECT_EQ(client.LeapIndicator(), 0);
    EXPECT_EQ(client.VersionNumber(), 3);
    EXPECT_EQ(client.ReplyMode(), 4);
    EXPECT_EQ(client.Socket().SocketError, 0);
}

struct HeaderCase {
    const char* name;
    Header header;
    ReplyRule broken;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const HeaderCase& c, std::ostream* out) {
    *out << c.name;
}

class SntpHeaderTest : public SntpTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(SntpHeaderTest, OnlyAValidHeaderIsAnAnswerAndFailuresKeepEarlierResults) {
    Serve(kWorkedExample);
    ASSERT_TRUE(client.QueryServer());
    const TDateTime earlier = client.ServerTime();

    Header header = GetParam().header;
    header.receive = 10.0;
    header.transmit = 10.001;
    Serve(header);
    const bool valid = GetParam().broken == ReplyRule::kNone;
    EXPECT_EQ(client.QueryServer(), valid);
    EXPECT_EQ(client.RejectedBy(), GetParam().broken) << ReplyRuleName(client.RejectedBy());
    // The header fields always show the reply just read.
    EXPECT_EQ(client.Reply().LiVnMode, header.liVnMode);
    EXPECT_EQ(client.LeapIndicator(), header.liVnMode >> 6);
    EXPECT_EQ(client.ReplyMode(), header.liVnMode & 7);
    if (valid) {
        EXPECT_NE(client.ServerTime(), earlier);
    } else {
        EXPECT_EQ(client.ServerTime(), earlier);
        EXPECT_NEAR(client.OffsetSeconds(), 2.0, 1e-5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SntpHeaderTest,
    ::testing::Values(
        HeaderCase{"leap3", {.liVnMode = 0xDC}, ReplyRule::kLeapIndicator},
        HeaderCase{"leap2", {.liVnMode = 0x9C}, ReplyRule::kNone},
        HeaderCase{"version4", {.liVnMode = 0x24}, ReplyRule::kNone},
        HeaderCase{"broadcastMode", {.liVnMode = 0x1D}, ReplyRule::kMode},
        HeaderCase{"clientMode", {.liVnMode = 0x1B}, ReplyRule::kMode},
        HeaderCase{"stratum0", {.stratum = 0}, ReplyRule::kStratum},
        HeaderCase{"stratum15", {.stratum = 15}, ReplyRule::kNone},
        HeaderCase{"stratum16", {.stratum = 16}, ReplyRule::kStratum},
        HeaderCase{"zeroReceiveSeconds", {.zeroReceiveSeconds = true}, ReplyRule::kReceiveTime},
        HeaderCase{"zeroTransmitSeconds", {.zeroTransmitSeconds = true}, ReplyRule::kTransmitTime},
        HeaderCase{"authenticator68", {.length = 68}, ReplyRule::kNone}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SntpTest, A68ByteReplyUsesOnlyItsFirst48Bytes) {
    Header header = kWorkedExample;
    header.length = 68;
    Serve(header);
    ASSERT_TRUE(client.QueryServer());
    EXPECT_EQ(client.ReplyData().size(), 68u);
    EXPECT_EQ(std::memcmp(&client.Reply(), client.ReplyData().data(), 48), 0);
    EXPECT_NEAR(client.DelaySeconds(), 0.120, 1e-5);
}

TEST_F(SntpTest, SilenceIsATimeoutThatKeepsEarlierResults) {
    Serve(kWorkedExample);
    ASSERT_TRUE(client.QueryServer());
    const TNtpPacket earlier = client.Reply();
    api.OnSend = nullptr;
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(client.Socket().SocketError, wsa::kTimedOut);
    EXPECT_TRUE(client.ReplyData().empty());
    EXPECT_EQ(std::memcmp(&client.Reply(), &earlier, 48), 0);
    EXPECT_NEAR(client.OffsetSeconds(), 2.0, 1e-5);
    EXPECT_LE(api.SelectTimeouts.back(), 1000000);
    EXPECT_GT(api.SelectTimeouts.back(), 900000);
}

TEST_F(SntpTest, TheLookupAndTheWaitShareTheQuerysOneTimeout) {
    api.Hosts["time.example"] = {"127.0.0.2"};
    client.ServerHost = "time.example";
    Serve(kWorkedExample);
    ASSERT_TRUE(client.QueryServer());
    ASSERT_EQ(api.LookupTimeouts.size(), 1u);
    EXPECT_LE(api.LookupTimeouts[0], 1000);
    EXPECT_GT(api.LookupTimeouts[0], 900);
    client.ReplyTimeout = -1;
    ASSERT_TRUE(client.QueryServer());
    EXPECT_EQ(api.LookupTimeouts[1], -1);
}

TEST_F(SntpTest, ANegativeTimeoutOtherThanMinusOneFailsAtOnce) {
    api.SelectFailure = wsa::kInvalidArgument;  // what the real binding says to -5000 us
    client.ReplyTimeout = -5;
    Serve(kWorkedExample);
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(client.Socket().SocketError, wsa::kTimedOut);
    EXPECT_EQ(api.SelectTimeouts.size(), 1u);
    EXPECT_EQ(api.SelectTimeouts[0], -5000);
}

TEST_F(SntpTest, AReceiveErrorEndsTheQueryAtOnce) {
    api.ReceiveFailure = wsa::kNetworkDown;
    Serve(kWorkedExample);
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(client.Socket().SocketError, wsa::kNetworkDown);
}

TEST_F(SntpTest, DatagramsThatAreNotTheAnswerAreDroppedAndTheWaitGoesOn) {
    times = {At(0), At(0.110)};
    api.OnSend = [this](const SocketFakeApi::Datagram& sent) {
        const std::string good = Answer(sent.bytes, kWorkedExample);
        std::string wrongOriginate = good;
        wrongOriginate[31] ^= 1;
        api.Deliver(good, "127.0.0.3", 123);  // another address
        api.Deliver(good, "127.0.0.2", 124);  // another port
        api.Deliver(wrongOriginate, "127.0.0.2", 123);
        api.Deliver("", "127.0.0.2", 123);  // empty
        api.Deliver(good.substr(0, 47), "127.0.0.2", 123);
        api.Deliver(good, "127.0.0.2", 123);
    };
    ASSERT_TRUE(client.QueryServer());
    EXPECT_NEAR(client.OffsetSeconds(), 2.0, 1e-5);
    EXPECT_TRUE(api.Incoming.empty());
    EXPECT_EQ(api.SelectTimeouts.size(), 6u);
}

TEST_F(SntpTest, OnlyStrangersInTimeEndInATimeout) {
    Serve(kWorkedExample);
    ASSERT_TRUE(client.QueryServer());
    api.OnSend = [this](const SocketFakeApi::Datagram& sent) {
        api.Deliver(Answer(sent.bytes, {.liVnMode = 0xDC}), "127.0.0.9", 123);
        api.Deliver(Answer(sent.bytes, kWorkedExample).substr(0, 47), "127.0.0.2", 123);
    };
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(client.Socket().SocketError, wsa::kTimedOut);
    // Nothing of the strangers reached the results.
    EXPECT_EQ(client.LeapIndicator(), 0);
}

TEST_F(SntpTest, ALateReplyToAnEarlierQueryIsNotTakenForTheNextAnswer) {
    std::string firstRequest;
    times = {At(0), At(5)};
    api.OnSend = [&](const SocketFakeApi::Datagram& sent) { firstRequest = sent.bytes; };
    EXPECT_FALSE(client.QueryServer());

    client.ServerHost = "127.0.0.4";
    times = {At(10), At(10.110)};
    api.OnSend = [&](const SocketFakeApi::Datagram& sent) {
        Header late = kWorkedExample;
        late.transmit = 99;
        api.Deliver(Answer(firstRequest, late), "127.0.0.2", 123);
        api.Deliver(Answer(firstRequest, late), "127.0.0.4", 123);
        api.Deliver(Answer(sent.bytes, {.receive = 12.050, .transmit = 12.060}), "127.0.0.4", 123);
    };
    ASSERT_TRUE(client.QueryServer());
    EXPECT_NEAR(client.OffsetSeconds(), 2.0, 1e-5);
}

// Each address gets an even share of what the lookup left; a silent first one costs only its own.
TEST_F(SntpTest, TheAddressesOfANameAreAskedInTurnWithinTheOneTimeout) {
    api.Hosts["dual.example"] = {"2001:db8::5", "192.0.2.5"};
    client.ServerHost = "dual.example";
    times = {At(0), At(10), At(10.110)};
    api.OnSend = [this](const SocketFakeApi::Datagram& sent) {
        if (sent.peer.Family() == AF_INET) {
            api.Deliver(Answer(sent.bytes, kWorkedExample), "192.0.2.5", 123);
        }
    };
    ASSERT_TRUE(client.QueryServer());
    ASSERT_EQ(api.Sent.size(), 2u);
    EXPECT_EQ(api.Sent[0].peer, SocketFakeApi::Address("2001:db8::5", 123));
    EXPECT_EQ(api.Sent[1].peer, SocketFakeApi::Address("192.0.2.5", 123));
    EXPECT_LE(api.SelectTimeouts[0], 500000);
    EXPECT_GT(api.SelectTimeouts[0], 400000);

    // Silence everywhere: the last address waits for what is left of the one timeout.
    api.OnSend = nullptr;
    api.SelectTimeouts.clear();
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(client.Socket().SocketError, wsa::kTimedOut);
    EXPECT_EQ(api.Sent.size(), 4u);
    EXPECT_LE(api.SelectTimeouts.at(1), 1000000);

    // Any answer ends the query, a kiss-o'-death included: the next address is not asked.
    api.OnSend = [this](const SocketFakeApi::Datagram& sent) {
        api.Deliver(Answer(sent.bytes, {.stratum = 0}), sent.peer.Text(), 123);
    };
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(api.Sent.size(), 5u);
    EXPECT_EQ(client.RejectedBy(), ReplyRule::kStratum);
}

TEST_F(SntpTest, AnUnknownHostIsAskedAtAllOnesAndTheQueryFails) {
    client.ServerHost = "nowhere.invalid";
    api.SendFailure = wsa::kAccessDenied;
    EXPECT_FALSE(client.QueryServer());
    EXPECT_EQ(client.Socket().RemoteAddress.Ipv4Address(), 0xFFFFFFFFu);
    EXPECT_EQ(client.Socket().SocketError, wsa::kTimedOut);
}

TEST(SntpLifecycle, OneClientIsOneSocketWithOneStartupPair) {
    SocketFakeApi api;
    {
        TSNTPSend client(api);
        EXPECT_EQ(client.ServerHost, "localhost");
        EXPECT_EQ(client.ReplyTimeout, 5000);
        EXPECT_EQ(client.Socket().Handle, api.NextHandle);
        EXPECT_EQ(api.Startups, 1);
    }
    EXPECT_EQ(api.Cleanups, 1);
    EXPECT_EQ(api.Closes.size(), 1u);
}

TEST(CurrentUtcTime, FollowsTheRealTimeClock) {
    const double before = static_cast<double>(std::time(nullptr));
    const TDateTime now = CurrentUtcTime();
    const double after = static_cast<double>(std::time(nullptr));
    EXPECT_GE(ToUnixSeconds(now), before - 0.001);
    EXPECT_LE(ToUnixSeconds(now), after + 1.001);
}

}  // namespace
}  // namespace velmora
