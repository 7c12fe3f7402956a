#include "net/io/windows/ServerChain.h"

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, whose types it uses.
#include <wincrypt.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// Windows' own check of the run's test certificates (tests/fixtures/chronyd.sh), under the names
// and addresses an entry may give: the run's Wine trusts the test CA and nothing else of them.

namespace velmora {
namespace {

// The DER bytes of VELMORA_NTS_DIR's NAME.crt (PEM), by the Windows path of that folder.
std::string Certificate(const std::string& name) {
    const char* dir = std::getenv("VELMORA_NTS_DIR");
    std::ifstream file(std::string("Z:") + (dir != nullptr ? dir : "") + "/" + name + ".crt");
    std::stringstream pem;
    pem << file.rdbuf();
    const std::string text = pem.str();
    DWORD size = 0;
    CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                         nullptr);
    std::string der(size, '\0');
    if (size == 0 ||
        !CryptStringToBinaryA(text.c_str(), 0, CRYPT_STRING_BASE64HEADER,
                              reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr)) {
        return {};
    }
    return der;
}

struct Case {
    const char* certificate;
    const char* host;
    const char* problem;  // "" when trusted
};

TEST(ServerChain, TrustsWhatWindowsTrustsForTheNameOrAddressAsked) {
    for (const Case& c :
         {Case{"server", "nts.velmora.test", ""}, Case{"server", "127.0.0.1", ""},
          Case{"server", "::1", ""}, Case{"server", "127.0.0.2", "it does not name 127.0.0.2"},
          Case{"server", "other.velmora.test", "does not name other.velmora.test"},
          Case{"other", "127.0.0.1", "it does not name 127.0.0.1"},
          Case{"other", "other.velmora.test", ""},
          Case{"rogue", "nts.velmora.test", "no authority this Windows trusts"},
          Case{"rogue", "127.0.0.1", "no authority this Windows trusts"}}) {
        const std::string der = Certificate(c.certificate);
        ASSERT_FALSE(der.empty()) << c.certificate << ": run under tests/fixtures/netns-run --nts";
        const std::string problem = ServerChainProblem({der}, c.host);
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.certificate << " for " << c.host;
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos)
                << c.certificate << " for " << c.host << ": " << problem;
        }
    }
    EXPECT_EQ(ServerChainProblem({"not a certificate"}, "nts.velmora.test"),
              "the server's certificate could not be read");
}

}  // namespace
}  // namespace velmora
