#include "system/LocalAddresses_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "common/WinText_win.h"

namespace {
std::u16string AddressText(const SOCKET_ADDRESS& address)
{
    wchar_t text[64];
    DWORD length = static_cast<DWORD>(std::size(text));
    if (WSAAddressToStringW(address.lpSockaddr, static_cast<DWORD>(address.iSockaddrLength), nullptr,
                            text, &length) != 0)
        return {};
    return FromW(text);
}
}  // namespace

int TWinLocalAddresses::Startup()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data);
}

void TWinLocalAddresses::Cleanup()
{
    WSACleanup();
}

std::vector<TLocalAdapter> TWinLocalAddresses::Adapters()
{
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    std::vector<unsigned char> buffer(16 * 1024);
    ULONG size = static_cast<ULONG>(buffer.size());
    ULONG rc = ERROR_BUFFER_OVERFLOW;
    // The list can grow between two calls; a few tries with the size asked for.
    for (int attempt = 0; attempt < 4 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        rc = GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    std::vector<TLocalAdapter> adapters;
    if (rc != ERROR_SUCCESS) return adapters;
    for (auto* a = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); a; a = a->Next) {
        TLocalAdapter adapter;
        adapter.Loopback = a->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
        adapter.ReceiveOnly = (a->Flags & IP_ADAPTER_RECEIVE_ONLY) != 0;
        adapter.InterfaceIndex = a->IfIndex != 0 ? a->IfIndex : a->Ipv6IfIndex;
        if (a->AdapterName)
            for (const char* c = a->AdapterName; *c; ++c)
                adapter.Guid.push_back(static_cast<char16_t>(static_cast<unsigned char>(*c)));
        for (auto* u = a->FirstUnicastAddress; u; u = u->Next) {
            if (!u->Address.lpSockaddr) continue;
            const int family = u->Address.lpSockaddr->sa_family;
            if (family != AF_INET && family != AF_INET6) continue;
            TUnicastAddress address;
            address.Text = AddressText(u->Address);
            address.IPv4 = family == AF_INET;
            address.Preferred = u->DadState == IpDadStatePreferred;
            if (!address.Text.empty()) adapter.Addresses.push_back(std::move(address));
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

std::optional<std::uint32_t> TWinLocalAddresses::InternetInterface()
{
    // Public addresses, only looked up in the routing table: nothing is sent to them.
    sockaddr_in v4 = {};
    v4.sin_family = AF_INET;
    v4.sin_addr.s_addr = htonl(0x08080808);  // 8.8.8.8
    DWORD index = 0;
    if (GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&v4), &index) == NO_ERROR) return index;
    sockaddr_in6 v6 = {};
    v6.sin6_family = AF_INET6;
    static constexpr unsigned char kV6[16] = {0x20, 0x01, 0x48, 0x60, 0x48, 0x60, 0, 0,
                                              0,    0,    0,    0,    0,    0,    0x88, 0x88};
    std::copy(std::begin(kV6), std::end(kV6), v6.sin6_addr.s6_addr);  // 2001:4860:4860::8888
    if (GetBestInterfaceEx(reinterpret_cast<sockaddr*>(&v6), &index) == NO_ERROR) return index;
    return std::nullopt;
}
