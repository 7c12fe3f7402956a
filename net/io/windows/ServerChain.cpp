#include "net/io/windows/ServerChain.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After the Winsock headers, which bring windows.h with them.
#include <wincrypt.h>

#include <cstdio>
#include <memory>

#include "net/io/SharedLibrary.h"
#include "net/io/windows/Utf16.h"

namespace velmora {

namespace {

// SECURITY_FLAG_IGNORE_CERT_CN_INVALID of wininet.h: the policy leaves the name alone.
constexpr DWORD kNameNotChecked = 0x00001000;

// Crypt32 is loaded with the first check, as GnuTLS is: the program's start does without it.
struct Crypt32 {
    decltype(&CertOpenStore) open_store;
    decltype(&CertCloseStore) close_store;
    decltype(&CertAddEncodedCertificateToStore) add_encoded;
    decltype(&CertFreeCertificateContext) free_certificate;
    decltype(&CertGetCertificateChain) get_chain;
    decltype(&CertFreeCertificateChain) free_chain;
    decltype(&CertVerifyCertificateChainPolicy) verify_policy;
    decltype(&CertFindExtension) find_extension;
    decltype(&CryptDecodeObjectEx) decode_object;
};

void Bind(SharedLibrary& library, Crypt32& c) {
    library.Bind("CertOpenStore", c.open_store);
    library.Bind("CertCloseStore", c.close_store);
    library.Bind("CertAddEncodedCertificateToStore", c.add_encoded);
    library.Bind("CertFreeCertificateContext", c.free_certificate);
    library.Bind("CertGetCertificateChain", c.get_chain);
    library.Bind("CertFreeCertificateChain", c.free_chain);
    library.Bind("CertVerifyCertificateChainPolicy", c.verify_policy);
    library.Bind("CertFindExtension", c.find_extension);
    library.Bind("CryptDecodeObjectEx", c.decode_object);
}

std::string Refusal(DWORD error, const std::string& hostName) {
    switch (error) {
        case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
        case static_cast<DWORD>(CERT_E_CHAINING):
            return "certificate not trusted: no authority this Windows trusts vouches for it";
        case static_cast<DWORD>(CERT_E_CN_NO_MATCH):
            return "certificate not trusted: it does not name " + hostName;
        case static_cast<DWORD>(CERT_E_EXPIRED):
            return "certificate not trusted: it has expired or is not yet valid";
        case static_cast<DWORD>(CERT_E_WRONG_USAGE):
            return "certificate not trusted: it is not for a TLS server";
        case static_cast<DWORD>(CRYPT_E_REVOKED):
            return "certificate not trusted: it has been revoked";
        default: {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(error));
            return std::string("certificate not trusted: Windows refused it (") + code + ")";
        }
    }
}

// The server's certificate in a store of its own with what the server sent along, which
// Windows may use to build the chain but never trusts for that.
class Presented {
  public:
    Presented(const Crypt32& c, const std::vector<std::string_view>& chain) : c_(c) {
        store_ = c.open_store(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr);
        for (std::size_t i = 0; store_ != nullptr && i < chain.size(); ++i) {
            const auto* der = reinterpret_cast<const BYTE*>(chain[i].data());
            c.add_encoded(store_, X509_ASN_ENCODING, der, static_cast<DWORD>(chain[i].size()),
                          CERT_STORE_ADD_ALWAYS, i == 0 ? &server_ : nullptr);
        }
    }
    ~Presented() {
        if (server_ != nullptr) {
            c_.free_certificate(server_);
        }
        if (store_ != nullptr) {
            c_.close_store(store_, 0);
        }
    }
    Presented(const Presented&) = delete;
    Presented& operator=(const Presented&) = delete;

    HCERTSTORE Store() const { return store_; }
    PCCERT_CONTEXT Server() const { return server_; }

  private:
    const Crypt32& c_;
    HCERTSTORE store_ = nullptr;
    PCCERT_CONTEXT server_ = nullptr;
};

// The address `host` stands for (4 or 16 bytes), or nothing when it is a name.
std::string AddressBytes(const std::string& host) {
    in6_addr v6{};
    if (inet_pton(AF_INET6, host.c_str(), &v6) == 1) {
        return std::string(reinterpret_cast<const char*>(&v6), sizeof v6);
    }
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
        return std::string(reinterpret_cast<const char*>(&v4), sizeof v4);
    }
    return {};
}

// Whether the certificate's subject alternative names hold the IP address `address`: the only
// place a certificate names an address. Windows' policy compares the server name with DNS names
// only under Wine, and its handling of addresses differs between versions, so it is asked to
// leave the name to this.
bool NamesAddress(const Crypt32& c, PCCERT_CONTEXT certificate, const std::string& address) {
    const CERT_INFO& info = *certificate->pCertInfo;
    const CERT_EXTENSION* names =
        c.find_extension(szOID_SUBJECT_ALT_NAME2, info.cExtension, info.rgExtension);
    CERT_ALT_NAME_INFO* decoded = nullptr;
    DWORD size = 0;
    if (names == nullptr ||
        !c.decode_object(X509_ASN_ENCODING, X509_ALTERNATE_NAME, names->Value.pbData,
                         names->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &decoded, &size)) {
        return false;
    }
    bool found = false;
    for (DWORD i = 0; i < decoded->cAltEntry; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = decoded->rgAltEntry[i];
        found = found || (entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
                          std::string(reinterpret_cast<const char*>(entry.IPAddress.pbData),
                                      entry.IPAddress.cbData) == address);
    }
    LocalFree(decoded);
    return found;
}

}  // namespace

std::string ServerChainProblem(const std::vector<std::string_view>& chain,
                               const std::string& hostName) {
    static const LibraryFunctions<Crypt32> crypt32("crypt32.dll", Bind,
                                                   SharedLibrary::Origin::kSystem);
    std::string missing;
    const Crypt32* loaded = crypt32.Get(&missing);
    if (loaded == nullptr) {
        return "no certificate check: " + missing;
    }
    const Crypt32& c = *loaded;
    const std::optional<std::wstring> wideName = Utf16(hostName);
    const Presented presented(c, chain);
    if (!wideName || presented.Server() == nullptr) {
        return "the server's certificate could not be read";
    }
    char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
    LPSTR usages[] = {serverAuth};
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof parameters;
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    PCCERT_CHAIN_CONTEXT built = nullptr;
    if (!c.get_chain(nullptr, presented.Server(), nullptr, presented.Store(), &parameters, 0,
                     nullptr, &built)) {
        return Refusal(GetLastError(), hostName);
    }
    const std::unique_ptr<const CERT_CHAIN_CONTEXT, decltype(c.free_chain)> held(built,
                                                                                 c.free_chain);
    const std::string address = AddressBytes(hostName);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA server{};
    server.cbSize = sizeof server;
    server.dwAuthType = AUTHTYPE_SERVER;
    server.pwszServerName = const_cast<wchar_t*>(wideName->c_str());
    if (!address.empty()) {
        server.fdwChecks = kNameNotChecked;
    }
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &server;
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof status;
    if (!c.verify_policy(CERT_CHAIN_POLICY_SSL, built, &policy, &status)) {
        return Refusal(GetLastError(), hostName);
    }
    if (status.dwError != 0) {
        return Refusal(status.dwError, hostName);
    }
    if (!address.empty() && !NamesAddress(c, presented.Server(), address)) {
        return Refusal(static_cast<DWORD>(CERT_E_CN_NO_MATCH), hostName);
    }
    return {};
}

}  // namespace velmora
