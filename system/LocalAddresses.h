// What the socket layer's local address rests on, as an interface: starting and stopping the
// socket layer, and the adapters with their unicast addresses as the system reports them
// (GetAdaptersAddresses, LocalAddresses_win.cpp). Which of them count as the machine's local
// addresses is decided by the portable code (Network.h); the tests use a scripted double.
#pragma once

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
};
