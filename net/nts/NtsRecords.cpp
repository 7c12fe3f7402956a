#include "net/nts/NtsRecords.h"

#include <algorithm>
#include <optional>

#include "net/nts/AesSivCmac.h"
#include "net/nts/WireWords.h"

namespace velmora {

namespace {

constexpr std::uint16_t kCriticalBit = 0x8000;
constexpr std::size_t kRecordHeader = 4;
constexpr std::size_t kMaxServerName = 255;

struct Record {
    bool critical = false;
    std::uint16_t type = 0;
    std::string_view body;
};

// What the records so far have said, and whether each was of the right shape.
struct Reading {
    NtsKeResponse& response;
    int protocols = 0;
    int algorithms = 0;
    bool wrong = false;
};

bool PrintableName(std::string_view name) {
    return !name.empty() && name.size() <= kMaxServerName &&
           std::all_of(name.begin(), name.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

// Exactly the one 16-bit identifier we offered.
bool OnlyOffered(std::string_view body, std::uint16_t offered) {
    return body.size() == 2 && ReadWord16(body, 0) == offered;
}

void Take(const Record& record, Reading& reading) {
    NtsKeResponse& response = reading.response;
    switch (record.type) {
        case ntske::kNextProtocol:
            ++reading.protocols;
            reading.wrong |= !OnlyOffered(record.body, ntske::kNtpV4);
            break;
        case ntske::kAeadAlgorithm:
            ++reading.algorithms;
            reading.wrong |= !OnlyOffered(record.body, kAesSivCmac256);
            break;
        case ntske::kNewCookie:
            reading.wrong |= record.body.empty() || record.body.size() > ntske::kMaxCookieSize;
            if (response.cookies.size() < ntske::kMaxCookies) {
                response.cookies.emplace_back(record.body);
            }
            break;
        case ntske::kServer:
            reading.wrong |= !PrintableName(record.body);
            response.server = std::string(record.body);
            break;
        case ntske::kPort:
            reading.wrong |= record.body.size() != 2 || ReadWord16(record.body, 0) == 0;
            response.port = record.body.size() == 2 ? ReadWord16(record.body, 0) : 0;
            break;
        case ntske::kError:
        case ntske::kWarning:
            // No warning is defined, so none can be understood: both end the exchange.
            reading.wrong = true;
            break;
        default:
            reading.wrong |= record.critical;
            break;
    }
}

std::optional<Record> RecordAt(std::string_view bytes, std::size_t at) {
    if (bytes.size() - at < kRecordHeader) {
        return std::nullopt;
    }
    const std::size_t length = ReadWord16(bytes, at + 2);
    if (bytes.size() - at - kRecordHeader < length) {
        return std::nullopt;
    }
    const std::uint16_t word = ReadWord16(bytes, at);
    return Record{(word & kCriticalBit) != 0, static_cast<std::uint16_t>(word & ~kCriticalBit),
                  bytes.substr(at + kRecordHeader, length)};
}

NtsKeStatus Conclude(const Reading& reading, const Record& end) {
    const bool granted =
        reading.protocols == 1 && reading.algorithms == 1 && !reading.response.cookies.empty();
    return !reading.wrong && granted && end.body.empty() ? NtsKeStatus::kComplete
                                                         : NtsKeStatus::kRefused;
}

}  // namespace

std::string NtsKeRecord(bool critical, std::uint16_t type, std::string_view body) {
    std::string record =
        Word16Bytes(static_cast<std::uint16_t>(type | (critical ? kCriticalBit : 0)));
    record += Word16Bytes(static_cast<std::uint16_t>(body.size()));
    record += body;
    return record;
}

std::string NtsKeRequest() {
    return NtsKeRecord(true, ntske::kNextProtocol, Word16Bytes(ntske::kNtpV4)) +
           NtsKeRecord(true, ntske::kAeadAlgorithm, Word16Bytes(kAesSivCmac256)) +
           NtsKeRecord(true, ntske::kEndOfMessage, "");
}

NtsKeStatus ParseNtsKeResponse(std::string_view bytes, NtsKeResponse& response) {
    response = NtsKeResponse{};
    Reading reading{response};
    std::size_t at = 0;
    while (const std::optional<Record> record = RecordAt(bytes, at)) {
        if (record->type == ntske::kEndOfMessage) {
            return Conclude(reading, *record);
        }
        Take(*record, reading);
        at += kRecordHeader + record->body.size();
    }
    return bytes.size() >= ntske::kMaxResponseSize ? NtsKeStatus::kRefused
                                                   : NtsKeStatus::kIncomplete;
}

}  // namespace velmora
