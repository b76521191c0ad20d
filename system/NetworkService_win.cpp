#include "system/NetworkService_win.h"

#include "BuildConfig.h"
#include "system/ComPtr_win.h"
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
    // The connections manager is a COM object: the calling thread joins COM for the call
    // (only a reference more when it is in an apartment already), after every object of
    // the call is released.
    const TComInit com;
    TWinNetConnections connections;
    return ::EnableNetwork(connections, GUID, Enable);
}

bool TWinNetwork::ProbePublicIP()
{
    TWinHttp http;
    return ::ProbePublicIP(http, FProbeURL);
}
