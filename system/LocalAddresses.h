// What the socket layer's local address rests on, as an interface: starting and stopping the
// socket layer, the adapters with their unicast addresses as the system reports them
// (GetAdaptersAddresses, LocalAddresses_win.cpp), and the interface that carries the route to
// the internet (GetBestInterfaceEx). Which of them count as the machine's local addresses is
// decided by the portable code (Network.h); the tests use a scripted double.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TUnicastAddress {
    std::u16string Text;     // dotted for IPv4, the usual colon form for IPv6
    bool IPv4 = false;
    bool Preferred = false;  // duplicate-address detection has finished: the address is usable
};

struct TLocalAdapter {
    bool Loopback = false;
    bool ReceiveOnly = false;
    std::vector<TUnicastAddress> Addresses;  // in the order reported
    std::uint32_t InterfaceIndex = 0;        // 0: none known
    std::u16string Guid;                     // braced, as the system names the adapter
};

class ILocalAddresses {
public:
    virtual ~ILocalAddresses() = default;
    // Raises the socket layer's usage count (WSAStartup); 0 or a Windows error code.
    virtual int Startup() = 0;
    // Lowers it again (WSACleanup); once per successful Startup.
    virtual void Cleanup() = 0;
    // The adapters in the order the system reports them; empty when the list cannot be read.
    virtual std::vector<TLocalAdapter> Adapters() = 0;
    // The index of the interface that the routing table picks towards a public address
    // (IPv4, else IPv6); none when there is no route. Nothing is sent.
    virtual std::optional<std::uint32_t> InternetInterface() = 0;
};
