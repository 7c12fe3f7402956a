#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/io/SocketAddress.h"
#include "net/io/synsock.h"

namespace velmora {

// A blocking socket over one binding. No operation throws: each leaves its outcome in
// SocketError, 0 for success, otherwise a Windows Sockets error number.
class TBlockSocket {
  public:
    explicit TBlockSocket(SocketApi& api = DefaultSocketApi());
    virtual ~TBlockSocket();
    TBlockSocket(const TBlockSocket&) = delete;
    TBlockSocket& operator=(const TBlockSocket&) = delete;

    virtual void OpenSocket();
    virtual void Close();
    // The base versions serve connected stream sockets, which this binding does not offer.
    virtual void ConnectTo(const std::string& host, const std::string& port);
    virtual int SendData(const void* buffer, int length);
    virtual int ReceiveData(void* buffer, int length);
    // One datagram, or empty with SocketError 10060 (nothing in time) or 10054 (empty read).
    std::string ReceivePacket(std::int32_t timeout);
    virtual int SendDataTo(const void* buffer, int length);
    virtual int ReceiveDataFrom(void* buffer, int length);

    // The first address of ResolveAddresses.
    void ResolveAddress(SocketAddress& address, const std::string& host, const std::string& port);
    // Every address of `host` with the port of `port`: one for a literal (IPv4, IPv6, or IPv6
    // in brackets), those the lookup finds in the resolver's order for a name, and all ones
    // (255.255.255.255) when nothing is found.
    std::vector<SocketAddress> ResolveAddresses(const std::string& host, const std::string& port);
    void SetRemoteAddress(const std::string& host, const std::string& port);
    bool WaitReadable(std::int32_t timeout);
    int PendingBytes();
    void CheckResult(int value);

    StartupData StartupInfo{};
    SocketAddress RemoteAddress;
    std::int32_t SocketError = 0;
    SocketHandle Handle = kInvalidSocket;
    std::int32_t ProtocolNumber = 0;
    // How long a host lookup may take, in milliseconds; -1: as long as the resolver takes.
    std::int32_t LookupTimeout = -1;

  protected:
    SocketApi& Api() const { return *api_; }

  private:
    std::uint16_t ResolvePort(const std::string& port);
    std::vector<SocketAddress> ResolveHost(const std::string& host);
    void DiscardEmptyDatagram();

    SocketApi* api_;
};

// Relay settings; with no relay address every operation takes the direct path.
class TSocksBlockSocket : public TBlockSocket {
  public:
    explicit TSocksBlockSocket(SocketApi& api = DefaultSocketApi());

    std::string SocksIP;
    std::string SocksPort = "1080";
    std::string SocksUsername;
    std::string SocksPassword;
};

class TUDPBlockSocket : public TSocksBlockSocket {
  public:
    explicit TUDPBlockSocket(SocketApi& api = DefaultSocketApi());
    ~TUDPBlockSocket() override;

    // One socket for both families (IPv4 as IPv4-mapped IPv6 addresses), or an IPv4 one where the
    // system has no IPv6.
    void OpenSocket() override;
    // Only resolves the peer into RemoteAddress; no platform connect is made.
    void ConnectTo(const std::string& host, const std::string& port) override;
    int SendData(const void* buffer, int length) override;
    int ReceiveData(void* buffer, int length) override;

  private:
    // The relay's control connection; never made, since no relay is configured.
    TBlockSocket* SocksControlSock = nullptr;
};

}  // namespace velmora
