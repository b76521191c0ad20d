// The network facilities against Wine's own: WMI through the scripting objects, the socket
// layer's adapter list, the missing connections manager, and adapter discovery in a network
// namespace that network_namespace.sh creates (it names what to expect in the environment).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <optional>
#include <thread>

#include "common/Error.h"
#include "common/Text.h"
#include "system/LocalAddresses_win.h"
#include "system/NetConnections_win.h"
#include "system/Network.h"
#include "system/NetworkService_win.h"
#include "system/Wmi_win.h"

namespace {
std::u16string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? Utf8ToUtf16(value) : std::u16string();
}

// True when this thread holds no COM initialisation: a fresh CoInitialize is then the first.
bool ComIsBalanced()
{
    const HRESULT hr = CoInitialize(nullptr);
    CoUninitialize();
    return hr == S_OK;
}

bool IsBracedGuid(const std::u16string& text)
{
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const char16_t c = text[i];
        const bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (hyphen ? c != u'-' : !hex) return false;
    }
    return true;
}

// The facility used directly, COM joined for the test and left again however it ends.
class WinWmiTest : public ::testing::Test {
protected:
    void SetUp() override { Wmi.Initialize(); }
    void TearDown() override
    {
        Wmi.Uninitialize();
        EXPECT_TRUE(ComIsBalanced());
    }
    TWinWmi Wmi;
};

TEST_F(WinWmiTest, ReadsAdaptersOfTheAdapterQuery)
{
    {
        const auto services = Wmi.Connect(u"localhost", u"root\\CIMV2");
        const auto adapters = services->ExecQuery(kAdapterQuery);
        int seen = 0;
        while (const auto adapter = adapters->Next()) {
            ++seen;
            const TWmiValue index = adapter->Read(u"Index");
            ASSERT_EQ(index.Kind, TWmiValue::TKind::Scalar) << Utf16ToUtf8(index.Text);
            EXPECT_FALSE(index.Text.empty());
            EXPECT_EQ(index.Text.find_first_not_of(u"0123456789"), std::u16string::npos);
            const TWmiValue guid = adapter->Read(u"GUID");
            ASSERT_EQ(guid.Kind, TWmiValue::TKind::Scalar);
            EXPECT_TRUE(IsBracedGuid(guid.Text)) << Utf16ToUtf8(guid.Text);
            EXPECT_EQ(adapter->Read(u"NoSuchProperty").Kind, TWmiValue::TKind::Error);

            const auto configurations = services->ExecQuery(kConfigurationQuery + index.Text);
            const auto configuration = configurations->Next();
            ASSERT_TRUE(configuration);
            const TWmiValue ip = configuration->Read(u"IPAddress");
            ASSERT_EQ(ip.Kind, TWmiValue::TKind::Array);
            ASSERT_FALSE(ip.Items.empty());
            EXPECT_FALSE(ip.Items[0].empty());
        }
        EXPECT_GT(seen, 0) << "Wine lists the machine's connected interfaces";
    }
}

TEST_F(WinWmiTest, FailingQueryRaises)
{
    const auto services = Wmi.Connect(u"localhost", u"root\\CIMV2");
    EXPECT_THROW(services->ExecQuery(u"SELECT * FROM"), EAppError);
}

TEST_F(WinWmiTest, UnknownNamespaceRaises)
{
    EXPECT_THROW(Wmi.Connect(u"localhost", u"root\\NoSuchNamespace"), EAppError);
}

TEST(WinLocalAddressesTest, LoopbackAdapterIsMarked)
{
    TWinLocalAddresses local;
    ASSERT_EQ(local.Startup(), 0);
    const auto adapters = local.Adapters();
    local.Cleanup();
    bool loopback = false;
    for (const TLocalAdapter& adapter : adapters)
        for (const TUnicastAddress& address : adapter.Addresses)
            if (address.Text == u"127.0.0.1") {
                EXPECT_TRUE(adapter.Loopback);
                EXPECT_TRUE(address.IPv4);
                loopback = true;
            }
    EXPECT_TRUE(loopback);
    // The local address never comes from the loopback adapter.
    EXPECT_NE(GetLocalIP(local), u"127.0.0.1");
}

TEST(WinNetConnectionsTest, NoNetshellUnderWineGivesFalse)
{
    TWinNetConnections connections;
    EXPECT_EQ(connections.LoadModule(), nullptr);
    TWinNetwork network;
    EXPECT_FALSE(network.EnableNetwork(u"{00000004-0000-0000-0000-4E6574446576}", false));
    EXPECT_FALSE(network.EnableNetwork(u"{00000004-0000-0000-0000-4E6574446576}", true));
}

TEST(WinNetworkTest, DiscoveryLeavesComBalanced)
{
    TWinNetwork network;
    const TNetworkInfo info = network.GetActiveNetwork();
    // Either an adapter with a braced GUID and an address, or nothing at all.
    if (info.GUID.empty()) {
        EXPECT_TRUE(info.Name.empty());
        EXPECT_TRUE(info.IP.empty());
    } else {
        EXPECT_TRUE(IsBracedGuid(info.GUID));
        EXPECT_FALSE(info.IP.empty());
    }
    EXPECT_TRUE(ComIsBalanced());
}

// Discovery, once the socket layer has shown the namespace's IPv4 address as the local one.
TNetworkInfo DiscoverBeside(const std::u16string& localIP)
{
    TWinLocalAddresses local;
    EXPECT_EQ(GetLocalIP(local), localIP);
    TWinNetwork network;
    return network.GetActiveNetwork();
}

// A thread of the multi-threaded apartment stays in it: discovery's CoInitialize is refused
// there and must not be answered by a CoUninitialize.
TEST(WinNetworkTest, MultiThreadedApartmentSurvivesDiscoveryAndRestart)
{
    HRESULT before = E_FAIL, after = E_FAIL;
    bool raised = false;
    std::thread worker([&] {
        before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        TWinNetwork network;
        try {
            network.GetActiveNetwork();
        } catch (const EAppError&) {
            raised = true;
        }
        network.EnableNetwork(u"{00000004-0000-0000-0000-4E6574446576}", true);
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);  // S_FALSE: still initialised
        if (SUCCEEDED(after)) CoUninitialize();
        if (SUCCEEDED(before)) CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(before, S_OK);
    EXPECT_FALSE(raised);
    EXPECT_EQ(after, S_FALSE);
}

// Inside the namespace of network_namespace.sh: one veth, IPv4 only.
TEST(WinNetworkNamespaceTest, FindsTheOnlyIPv4Adapter)
{
    const std::u16string expectedIP = Env("TAVRINO_NETNS_IPV4_ONLY");
    if (expectedIP.empty()) GTEST_SKIP() << "runs inside network_namespace.sh";
    const TNetworkInfo info = DiscoverBeside(expectedIP);
    EXPECT_EQ(info.IP, expectedIP);
    EXPECT_TRUE(IsBracedGuid(info.GUID)) << Utf16ToUtf8(info.GUID);
    EXPECT_TRUE(SameTextAscii(info.GUID, Env("TAVRINO_NETNS_GUID"))) << Utf16ToUtf8(info.GUID);
    EXPECT_FALSE(info.Name.empty());
}

// Inside the namespace of network_namespace.sh: the veth has an IPv6 address as well, which
// Wine's WMI lists first, so no adapter's first address shares the IPv4 prefix.
TEST(WinNetworkNamespaceTest, IPv6ListedFirstFindsNothing)
{
    const std::u16string expectedIP = Env("TAVRINO_NETNS_DUAL");
    if (expectedIP.empty()) GTEST_SKIP() << "runs inside network_namespace.sh";
    const TNetworkInfo info = DiscoverBeside(expectedIP);
    EXPECT_TRUE(info.GUID.empty());
    EXPECT_TRUE(info.IP.empty());
    EXPECT_TRUE(ComIsBalanced());

    // Why: the adapter's first configured address is the IPv6 one.
    TWinWmi wmi;
    wmi.Initialize();
    {
        const auto services = wmi.Connect(u"localhost", u"root\\CIMV2");
        const auto adapters = services->ExecQuery(kAdapterQuery);
        const auto adapter = adapters->Next();
        ASSERT_TRUE(adapter);
        const auto configurations =
            services->ExecQuery(kConfigurationQuery + adapter->Read(u"Index").Text);
        const auto configuration = configurations->Next();
        ASSERT_TRUE(configuration);
        const TWmiValue ip = configuration->Read(u"IPAddress");
        ASSERT_EQ(ip.Kind, TWmiValue::TKind::Array);
        ASSERT_GE(ip.Items.size(), 2u);
        EXPECT_NE(ip.Items[0].find(u':'), std::u16string::npos) << Utf16ToUtf8(ip.Items[0]);
    }
    wmi.Uninitialize();
}
// Inside the namespace of network_namespace.sh: the veth lists its IPv6 address first, so the
// reference-address rule finds nothing, and the default route goes through the veth. The
// routing table names its interface, whose GUID Wine's WMI gives the adapter too, and
// discovery takes that adapter with its IPv4 address.
TEST(WinNetworkNamespaceTest, TheRouteToTheInternetFindsTheAdapterTheRuleMisses)
{
    const std::u16string expectedIP = Env("TAVRINO_NETNS_ROUTE");
    if (expectedIP.empty()) GTEST_SKIP() << "runs inside network_namespace.sh";
    TWinLocalAddresses local;
    const std::optional<std::uint32_t> route = local.InternetInterface();
    ASSERT_TRUE(route.has_value());
    ASSERT_EQ(local.Startup(), 0);
    std::u16string routeGuid;
    for (const TLocalAdapter& adapter : local.Adapters())
        if (adapter.InterfaceIndex == *route) routeGuid = adapter.Guid;
    local.Cleanup();
    EXPECT_TRUE(SameTextAscii(routeGuid, Env("TAVRINO_NETNS_GUID"))) << Utf16ToUtf8(routeGuid);

    const TNetworkInfo info = DiscoverBeside(expectedIP);
    EXPECT_EQ(info.IP, expectedIP);
    EXPECT_TRUE(SameTextAscii(info.GUID, Env("TAVRINO_NETNS_GUID"))) << Utf16ToUtf8(info.GUID);
    EXPECT_FALSE(info.Name.empty());
    EXPECT_TRUE(ComIsBalanced());
}

// Inside the namespace of network_namespace.sh, whose loopback serves the program's API base.
TEST(WinNetworkNamespaceTest, ProbesTheProgramsAddress)
{
    if (Env("TAVRINO_NETNS_PROBE").empty()) GTEST_SKIP() << "runs inside network_namespace.sh";
    TWinNetwork network;
    EXPECT_TRUE(network.ProbePublicIP());
}
}  // namespace
