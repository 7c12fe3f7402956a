#include "net/nts/NtsRecords.h"

#include <gtest/gtest.h>

#include "net/nts/AesSivCmac.h"
#include "net/nts/NtsEntry.h"
#include "net/nts/WireWords.h"

namespace velmora {
namespace {

const std::string kProtocol = NtsKeRecord(true, ntske::kNextProtocol, Word16Bytes(ntske::kNtpV4));
const std::string kAead = NtsKeRecord(true, ntske::kAeadAlgorithm, Word16Bytes(kAesSivCmac256));
const std::string kCookie = NtsKeRecord(false, ntske::kNewCookie, std::string(64, 'c'));
const std::string kEnd = NtsKeRecord(true, ntske::kEndOfMessage, "");

TEST(NtsKeRequest, OffersNtpV4AndAesSivCmacThenEnds) {
    EXPECT_EQ(NtsKeRequest(), std::string("\x80\x01\x00\x02\x00\x00"
                                          "\x80\x04\x00\x02\x00\x0F"
                                          "\x80\x00\x00\x00",
                                          16));
}

TEST(NtsKeResponse, GrantsCookiesAndWhereToAsk) {
    NtsKeResponse response;
    const std::string records = kProtocol + kAead +
                                NtsKeRecord(false, ntske::kServer, "time.example") +
                                NtsKeRecord(false, ntske::kPort, Word16Bytes(1234)) + kCookie +
                                kCookie + NtsKeRecord(false, 0x4000, "ignored") + kEnd;
    ASSERT_EQ(ParseNtsKeResponse(records, response), NtsKeStatus::kComplete);
    EXPECT_EQ(response.cookies, std::vector<std::string>(2, std::string(64, 'c')));
    EXPECT_EQ(response.server, "time.example");
    EXPECT_EQ(response.port, 1234);
    EXPECT_EQ(ParseNtsKeResponse(records.substr(0, records.size() - 1), response),
              NtsKeStatus::kIncomplete);
    // Cookies of up to a kilobyte, as some servers give.
    const std::string large = NtsKeRecord(false, ntske::kNewCookie, std::string(1024, 'L'));
    ASSERT_EQ(ParseNtsKeResponse(kProtocol + kAead + large + kEnd, response),
              NtsKeStatus::kComplete);
    EXPECT_EQ(response.cookies.at(0).size(), 1024u);
}

struct Refusal {
    const char* name;
    std::string records;
};

class NtsKeRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(NtsKeRefusal, EndsTheExchange) {
    NtsKeResponse response;
    EXPECT_EQ(ParseNtsKeResponse(GetParam().records + kEnd, response), NtsKeStatus::kRefused);
}

INSTANTIATE_TEST_SUITE_P(
    Records, NtsKeRefusal,
    ::testing::Values(
        Refusal{"error",
                kProtocol + kAead + kCookie + NtsKeRecord(true, ntske::kError, Word16Bytes(1))},
        Refusal{"warning",
                kProtocol + kAead + kCookie + NtsKeRecord(true, ntske::kWarning, Word16Bytes(9))},
        Refusal{"unknownCritical", kProtocol + kAead + kCookie + NtsKeRecord(true, 0x4000, "")},
        Refusal{"otherProtocol",
                NtsKeRecord(true, ntske::kNextProtocol, Word16Bytes(1)) + kAead + kCookie},
        Refusal{"noProtocol", NtsKeRecord(true, ntske::kNextProtocol, "") + kAead + kCookie},
        Refusal{"otherAead",
                kProtocol + NtsKeRecord(true, ntske::kAeadAlgorithm, Word16Bytes(16)) + kCookie},
        Refusal{"twoProtocols", kProtocol + kProtocol + kAead + kCookie},
        Refusal{"noAead", kProtocol + kCookie}, Refusal{"noCookie", kProtocol + kAead},
        Refusal{"hugeCookie",
                kProtocol + kAead + NtsKeRecord(false, ntske::kNewCookie, std::string(1025, 'c'))},
        Refusal{"shortPort", kProtocol + kAead + kCookie + NtsKeRecord(false, ntske::kPort, "1")},
        Refusal{"spaceInServer",
                kProtocol + kAead + kCookie + NtsKeRecord(false, ntske::kServer, "a b")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NtsEntry, SchemeHostAndKeyExchangePort) {
    EXPECT_FALSE(IsNtsEntry("time.example"));
    EXPECT_FALSE(IsNtsEntry("ntp://time.example"));
    const auto plain = ParseNtsEntry("nts://time.example");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->host, "time.example");
    EXPECT_EQ(plain->port, 4460);
    const auto ported = ParseNtsEntry("NTS://192.0.2.1:123");
    ASSERT_TRUE(ported);
    EXPECT_EQ(ported->host, "192.0.2.1");
    EXPECT_EQ(ported->port, 123);
    EXPECT_EQ(NtsSessionKey(*ported), "192.0.2.1:123");
    for (const auto& [text, port] :
         {std::pair{"nts://[2001:db8::1]:4460", 4460}, std::pair{"nts://[2001:db8::1]", 4460},
          std::pair{"nts://[2001:db8::1]:123", 123}}) {
        const auto v6 = ParseNtsEntry(text);
        ASSERT_TRUE(v6) << text;
        EXPECT_EQ(v6->host, "2001:db8::1") << text;
        EXPECT_EQ(v6->port, port) << text;
        EXPECT_EQ(NtsSessionKey(*v6), "[2001:db8::1]:" + std::to_string(port)) << text;
    }
    for (const char* bad : {"nts://", "nts://:1", "nts://a:0", "nts://a:70000", "nts://a/b",
                            "nts://a:1/", "nts://a b", "nts://2001:db8::1", "nts://[2001:db8::1",
                            "nts://[]", "nts://[time.example]", "nts://[::1]x", "nts://[::1]:"}) {
        EXPECT_TRUE(IsNtsEntry(bad)) << bad;
        EXPECT_FALSE(ParseNtsEntry(bad)) << bad;
    }
}

}  // namespace
}  // namespace velmora
