#include "system/Network.h"

#include <optional>

#include "common/Error.h"
#include "common/Text.h"

namespace {
// COM joined for the length of one discovery, left again on every way out.
class TComScope {
public:
    explicit TComScope(IWmi& wmi) : FWmi(wmi) { FWmi.Initialize(); }
    ~TComScope() { FWmi.Uninitialize(); }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    IWmi& FWmi;
};

// The socket layer held for the length of one address look-up.
class TSocketScope {
public:
    explicit TSocketScope(ILocalAddresses& addresses) : FAddresses(addresses)
    {
        const int rc = FAddresses.Startup();
        if (rc != 0)
            throw EAppError(u"The socket layer could not be started (error " + IntToText(rc) + u")");
    }
    ~TSocketScope() { FAddresses.Cleanup(); }
    TSocketScope(const TSocketScope&) = delete;
    TSocketScope& operator=(const TSocketScope&) = delete;

private:
    ILocalAddresses& FAddresses;
};

// Reads a property as text: a null value is the empty text. False when the read failed or
// the value has no single text form.
bool ReadText(IWmiObject& object, const std::u16string& property, std::u16string& text)
{
    TWmiValue value = object.Read(property);
    switch (value.Kind) {
    case TWmiValue::TKind::Null: text.clear(); return true;
    case TWmiValue::TKind::Scalar: text = std::move(value.Text); return true;
    default: return false;
    }
}

// Virtual machines' and connection sharing's adapters are never the one the tweaks are for.
bool IsExcludedAdapterName(const std::u16string& name)
{
    const std::u16string lower = AsciiLower(name);
    for (const char16_t* word : {u"vmware", u"virtualbox", u"sharing"})
        if (lower.find(word) != std::u16string::npos) return true;
    return false;
}

std::u16string_view PrefixBeforeLastDot(std::u16string_view text)
{
    const std::size_t dot = text.rfind(u'.');
    return dot == std::u16string_view::npos ? std::u16string_view() : text.substr(0, dot);
}

// One adapter of the adapter query, read as the search reads it: Index, Name and GUID, in
// this order, a null value as the empty text.
enum class TAdapterRead {
    End,        // a null Index: the adapters after it are not examined
    Skip,       // a failed read, no GUID, or a virtual or sharing adapter
    Candidate,
};
TAdapterRead ReadAdapter(IWmiObject& adapter, std::u16string& index, std::u16string& name,
                         std::u16string& guid)
{
    const TWmiValue value = adapter.Read(u"Index");
    if (value.Kind == TWmiValue::TKind::Null) return TAdapterRead::End;
    index = value.Text;
    // A failed read of one adapter skips that adapter and goes no further.
    if (value.Kind != TWmiValue::TKind::Scalar || !ReadText(adapter, u"Name", name) ||
        !ReadText(adapter, u"GUID", guid))
        guid.clear();
    if (guid.empty() || IsExcludedAdapterName(name)) return TAdapterRead::Skip;
    return TAdapterRead::Candidate;
}

// Every configured address of an adapter, configuration by configuration, in order. Raises
// when an address cannot be read.
std::vector<std::u16string> ConfiguredAddresses(IWmiServices& services, const std::u16string& index)
{
    std::vector<std::u16string> addresses;
    const std::unique_ptr<IWmiObjectSet> configurations =
        services.ExecQuery(kConfigurationQuery + index);
    while (const std::unique_ptr<IWmiObject> configuration = configurations->Next()) {
        const TWmiValue ip = configuration->Read(u"IPAddress");
        if (ip.Kind == TWmiValue::TKind::Error)
            throw EAppError(u"Reading IPAddress of adapter " + index + u" failed: " + ip.Text);
        if (ip.Kind != TWmiValue::TKind::Array) continue;
        addresses.insert(addresses.end(), ip.Items.begin(), ip.Items.end());
    }
    return addresses;
}

// The adapter that carries the route to the internet, as the socket layer names it.
struct TRouteAdapter {
    std::u16string Index;  // the interface index as decimal text
    std::u16string Guid;   // empty when the socket layer does not list the interface
};

std::optional<TRouteAdapter> RouteAdapter(ILocalAddresses& addresses)
{
    const TSocketScope socketLayer(addresses);
    const std::optional<std::uint32_t> index = addresses.InternetInterface();
    if (!index) return std::nullopt;
    TRouteAdapter route{IntToText(static_cast<std::int64_t>(*index)), {}};
    for (const TLocalAdapter& adapter : addresses.Adapters())
        if (adapter.InterfaceIndex == *index) route.Guid = adapter.Guid;
    return route;
}

// The search's second way: the connected physical adapter, not a virtual or sharing one, that
// carries the route to the internet, matched by its interface index or its GUID. Its address
// is its first configured IPv4 address, else its first configured address.
bool FindRouteAdapter(IWmiServices& services, const TRouteAdapter& route,
                      std::u16string& NetworkName, std::u16string& NetworkGUID,
                      std::u16string& NetworkIP)
{
    const std::unique_ptr<IWmiObjectSet> adapters = services.ExecQuery(kAdapterQuery);
    while (const std::unique_ptr<IWmiObject> adapter = adapters->Next()) {
        std::u16string index;
        const TAdapterRead read = ReadAdapter(*adapter, index, NetworkName, NetworkGUID);
        if (read == TAdapterRead::End) break;
        if (read == TAdapterRead::Skip) continue;
        const TWmiValue interfaceIndex = adapter->Read(u"InterfaceIndex");
        const bool byIndex =
            interfaceIndex.Kind == TWmiValue::TKind::Scalar && interfaceIndex.Text == route.Index;
        const bool byGuid = !route.Guid.empty() && AsciiLower(route.Guid) == AsciiLower(NetworkGUID);
        if (!byIndex && !byGuid) continue;

        const std::vector<std::u16string> addresses = ConfiguredAddresses(services, index);
        NetworkIP = addresses.empty() ? std::u16string() : addresses.front();
        for (const std::u16string& address : addresses) {
            if (address.find(u'.') != std::u16string::npos) {
                NetworkIP = address;
                break;
            }
        }
        return true;
    }
    return false;
}

void AppendHex(std::u16string& out, std::uint32_t value, int digits)
{
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}
}  // namespace

std::vector<TUnicastAddress> LocalAddressList(const std::vector<TLocalAdapter>& adapters)
{
    std::vector<TUnicastAddress> list;
    for (const TLocalAdapter& adapter : adapters) {
        if (adapter.Loopback || adapter.ReceiveOnly) continue;
        for (const TUnicastAddress& address : adapter.Addresses)
            if (address.Preferred) list.push_back(address);
    }
    return list;
}

std::u16string GetLocalIP(ILocalAddresses& addresses)
{
    const TSocketScope socketLayer(addresses);
    for (const TUnicastAddress& address : LocalAddressList(addresses.Adapters()))
        if (address.IPv4) return address.Text;
    return {};
}

bool SameAddressPrefix(std::u16string_view first, std::u16string_view second)
{
    return PrefixBeforeLastDot(first) == PrefixBeforeLastDot(second);
}

bool GetActiveNetwork(IWmi& wmi, ILocalAddresses& addresses, std::u16string& NetworkName,
                      std::u16string& NetworkGUID, std::u16string& NetworkIP)
{
    bool result = false;
    const std::u16string reference = GetLocalIP(addresses);

    // Declared in this order so that every object is released before COM is left.
    const TComScope com(wmi);
    const std::unique_ptr<IWmiServices> services = wmi.Connect(u"localhost", u"root\\CIMV2");
    const std::unique_ptr<IWmiObjectSet> adapters = services->ExecQuery(kAdapterQuery);

    while (!result) {
        const std::unique_ptr<IWmiObject> adapter = adapters->Next();
        if (!adapter) break;
        std::u16string index;
        const TAdapterRead read = ReadAdapter(*adapter, index, NetworkName, NetworkGUID);
        if (read == TAdapterRead::End) break;
        if (read == TAdapterRead::Skip) continue;

        const std::unique_ptr<IWmiObjectSet> configurations =
            services->ExecQuery(kConfigurationQuery + index);
        while (const std::unique_ptr<IWmiObject> configuration = configurations->Next()) {
            const TWmiValue ip = configuration->Read(u"IPAddress");
            if (ip.Kind == TWmiValue::TKind::Error)
                throw EAppError(u"Reading IPAddress of adapter " + index + u" failed: " + ip.Text);
            if (ip.Kind != TWmiValue::TKind::Array || ip.Items.empty()) continue;
            // Only the first configured address is judged.
            NetworkIP = ip.Items.front();
            if (SameAddressPrefix(reference, NetworkIP)) {
                result = true;
                break;
            }
        }
    }
    // The reference address may belong to an adapter that is not physical (a VPN, a virtual
    // switch): then the adapter that carries the route to the internet is the one.
    if (!result) {
        if (const std::optional<TRouteAdapter> route = RouteAdapter(addresses))
            result = FindRouteAdapter(*services, *route, NetworkName, NetworkGUID, NetworkIP);
    }
    return result;
}

std::u16string GuidText(const netcon::TGuid& guid)
{
    std::u16string text = u"{";
    AppendHex(text, guid.Data1, 8);
    text += u'-';
    AppendHex(text, guid.Data2, 4);
    text += u'-';
    AppendHex(text, guid.Data3, 4);
    text += u'-';
    for (std::size_t i = 0; i < guid.Data4.size(); ++i) {
        if (i == 2) text += u'-';
        AppendHex(text, guid.Data4[i], 2);
    }
    text += u'}';
    return text;
}

bool EnableNetwork(INetConnections& connections, const std::u16string& GUID, bool Enable)
{
    try {
        // Declared in this order so that the module is unloaded after everything it made.
        const std::unique_ptr<INetShellModule> module = connections.LoadModule();
        if (!module || !module->FindFreeProperties()) return false;
        std::unique_ptr<INetconManager> manager;
        if (module->CreateManager(manager) != netcon::kOk || !manager) return false;
        std::unique_ptr<INetconEnum> list;
        if (manager->EnumConnections(netcon::kEnumDefault, list) != netcon::kOk || !list) return false;

        const std::u16string target = AsciiLower(GUID);
        bool result = false;
        std::unique_ptr<INetconConnection> connection;
        for (;;) {
            connection.reset();
            if (list->Next(connection) != netcon::kOk || !connection) break;
            netcon::TProperties properties;
            if (connection->GetProperties(properties) != netcon::kOk) continue;
            const bool match = GuidText(properties.Guid) == target;
            if (match)
                result = (Enable ? connection->Connect() : connection->Disconnect()) == netcon::kOk;
            module->FreeProperties(properties);
            if (match) break;
        }
        return result;
    } catch (const std::exception&) {
        return false;
    }
}

bool ProbePublicIP(IHttp& http, const std::u16string& url)
{
    try {
        const std::optional<std::u16string> body = http.Get(url, {}, TBodyDecoding::DeclaredCharset);
        return body && body->find(u"\"ip\"") != std::u16string::npos;
    } catch (const std::exception&) {
        return false;
    }
}
