#include "sync/SyncStatus.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(FailureReason, EachFailureInPlainWords) {
    struct Case {
        QueryFailure failure;
        bool authenticated;
        const char* kissCode;
        const char* detail;
        const char* reason;
    };
    for (const Case& c : {
             Case{QueryFailure::NoAnswer, false, "", "",
                  "no answer within 5 s: UDP port 123 may be blocked"},
             Case{QueryFailure::NoAnswer, true, "", "", "no answer within 5 s"},
             Case{QueryFailure::NameNotFound, false, "", "", "the name does not resolve"},
             Case{QueryFailure::BadAnswer, false, "", "", "its answer was not a valid time"},
             Case{QueryFailure::KissOfDeath, false, "RATE", "",
                  "the server said no (kiss code RATE)"},
             Case{QueryFailure::KeyExchange, true, "", "the certificate has expired",
                  "NTS key exchange refused: the certificate has expired"},
             Case{QueryFailure::NotAvailable, true, "",
                  "Network Time Security is not available in the Windows version",
                  "Network Time Security is not available in the Windows version"},
         }) {
        QueryAttempt attempt;
        attempt.failure = c.failure;
        attempt.authenticated = c.authenticated;
        attempt.kissCode = c.kissCode;
        attempt.detail = c.detail;
        EXPECT_EQ(FailureReason(attempt, 5), c.reason);
    }
}

}  // namespace
}  // namespace velmora
