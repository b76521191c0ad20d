// The Network unit: which adapter the tweaks are for (GetActiveNetwork, with GetLocalIP and
// SameAddressPrefix), taking its connection down and up (EnableNetwork), and the probe that
// tells when the internet answers again (ProbePublicIP). Each runs over the facility it is
// given, so the rules are the same under Windows and in the tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "system/Http.h"
#include "system/LocalAddresses.h"
#include "system/NetConnections.h"
#include "system/Wmi.h"

// The two WMI queries of the adapter search.
inline constexpr char16_t kAdapterQuery[] =
    u"SELECT * FROM Win32_NetworkAdapter WHERE (NetConnectionStatus = 2 OR "
    u"NetConnectionStatus = 9) AND PhysicalAdapter = True";
inline constexpr char16_t kConfigurationQuery[] =
    u"SELECT * FROM Win32_NetworkAdapterConfiguration WHERE Index = ";

// The machine's local addresses: of every adapter that is neither loopback nor receive-only,
// the preferred unicast addresses, IPv4 and IPv6 in the order reported.
std::vector<TUnicastAddress> LocalAddressList(const std::vector<TLocalAdapter>& adapters);

// The first IPv4 entry of the local addresses, or the empty text. Raises EAppError when the
// socket layer cannot start.
std::u16string GetLocalIP(ILocalAddresses& addresses);

// True when both texts are equal up to, and not including, their last "." (a text without
// "." has the empty prefix). For dotted IPv4 texts: the first three octets are equal.
bool SameAddressPrefix(std::u16string_view first, std::u16string_view second);

// Finds the first connected physical adapter, not a virtual or sharing one, whose first
// configured address has the local address's prefix. When there is none, the adapter that
// carries the route to the internet, under the same filters, matched by its interface index
// or its GUID (its address: its first configured IPv4 address). True when one was chosen; on false the
// three texts may hold values of the last adapter examined. Raises EAppError when the
// management service or the socket layer fails; COM is left balanced in every case.
bool GetActiveNetwork(IWmi& wmi, ILocalAddresses& addresses, std::u16string& NetworkName,
                      std::u16string& NetworkGUID, std::u16string& NetworkIP);

// The braced, lower-case text form of a GUID: {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}.
std::u16string GuidText(const netcon::TGuid& guid);

// Disconnects (Enable false) or connects (Enable true) the connection whose GUID is GUID,
// compared without regard to letter case. True only when the connection was found and the
// call succeeded; never raises.
bool EnableNetwork(INetConnections& connections, const std::u16string& GUID, bool Enable);

// True when a GET of url completed and its body holds the quoted key "ip"; never raises.
bool ProbePublicIP(IHttp& http, const std::u16string& url);
