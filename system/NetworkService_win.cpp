#include "system/NetworkService_win.h"

#include "BuildConfig.h"
#include "system/Http_win.h"
#include "system/LocalAddresses_win.h"
#include "system/NetConnections_win.h"
#include "system/Network.h"
#include "system/Wmi_win.h"

TWinNetwork::TWinNetwork() : TWinNetwork(std::u16string(kApiBase) + u"/myip") {}

TWinNetwork::TWinNetwork(std::u16string probeURL) : FProbeURL(std::move(probeURL)) {}

TNetworkInfo TWinNetwork::GetActiveNetwork()
{
    TWinWmi wmi;
    TWinLocalAddresses addresses;
    TNetworkInfo info;
    // Whatever the search left behind when it found nothing describes no adapter.
    if (!::GetActiveNetwork(wmi, addresses, info.Name, info.GUID, info.IP)) info = {};
    return info;
}

bool TWinNetwork::EnableNetwork(const std::u16string& GUID, bool Enable)
{
    TWinNetConnections connections;
    return ::EnableNetwork(connections, GUID, Enable);
}

bool TWinNetwork::ProbePublicIP()
{
    TWinHttp http;
    return ::ProbePublicIP(http, FProbeURL);
}
