// The Network unit over scripted doubles: the address prefix rule, the local address, the
// adapter search (query texts, order of reads, filters, early stops, error rules, COM
// balance), the connection restart and the public address probe.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "common/Error.h"
#include "support/FakeHttp.h"
#include "support/FakeLocalAddresses.h"
#include "support/FakeNetConnections.h"
#include "support/FakeWmi.h"
#include "system/Network.h"

namespace {
const std::string kQuery1 =
    "ExecQuery SELECT * FROM Win32_NetworkAdapter WHERE (NetConnectionStatus = 2 OR "
    "NetConnectionStatus = 9) AND PhysicalAdapter = True";
const std::string kQuery2 = "ExecQuery SELECT * FROM Win32_NetworkAdapterConfiguration WHERE Index = ";
const std::u16string kGuid1 = u"{11111111-2222-3333-4444-555555555555}";
const std::u16string kGuid2 = u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

bool Logged(const std::vector<std::string>& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

// --- SameAddressPrefix -----------------------------------------------------------------

struct PrefixCase {
    const char16_t* First;
    const char16_t* Second;
    bool Same;
};

class SameAddressPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(SameAddressPrefixTest, ComparesTextBeforeLastDot)
{
    EXPECT_EQ(SameAddressPrefix(GetParam().First, GetParam().Second), GetParam().Same);
    EXPECT_EQ(SameAddressPrefix(GetParam().Second, GetParam().First), GetParam().Same);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SameAddressPrefixTest,
    ::testing::Values(PrefixCase{u"10.0.0.5", u"10.0.0.200", true},
                      PrefixCase{u"192.168.1.5", u"192.168.10.5", false},
                      PrefixCase{u"192.168.0.10", u"192.168.0.77", true},
                      PrefixCase{u"192.168.0.10", u"192.168.1.10", false},
                      PrefixCase{u"", u"fe80::1", true},     // both prefixes empty
                      PrefixCase{u"", u"10.0.0.5", false},
                      PrefixCase{u"10.0.0.5", u"10.0.0.", true},
                      PrefixCase{u"1.2.3.4", u"1.2.3", false},
                      PrefixCase{u"", u"", true}));

// --- GetLocalIP -------------------------------------------------------------------------

TEST(GetLocalIPTest, FirstPreferredIPv4OfUsableAdapters)
{
    TFakeLocalAddresses local;
    TLocalAdapter loopback = TFakeLocalAddresses::Plain({u"127.0.0.1"});
    loopback.Loopback = true;
    TLocalAdapter receiveOnly = TFakeLocalAddresses::Plain({u"10.1.1.1"});
    receiveOnly.ReceiveOnly = true;
    TLocalAdapter tentative;
    tentative.Addresses = {{u"10.2.2.2", true, false}};
    TLocalAdapter dual = TFakeLocalAddresses::Plain({u"fe80::1", u"192.168.0.10", u"192.168.0.11"});
    local.List = {loopback, receiveOnly, tentative, dual, TFakeLocalAddresses::Plain({u"10.3.3.3"})};

    EXPECT_EQ(GetLocalIP(local), u"192.168.0.10");
    EXPECT_EQ(local.Startups, 1);
    EXPECT_EQ(local.Cleanups, 1);
    EXPECT_EQ(local.ListedWhileStarted, 1);

    const auto all = LocalAddressList(local.List);
    ASSERT_EQ(all.size(), 4u);  // IPv6 and IPv4 in the order reported
    EXPECT_EQ(all[0].Text, u"fe80::1");
    EXPECT_EQ(all[3].Text, u"10.3.3.3");
}

TEST(GetLocalIPTest, EmptyWithoutIPv4)
{
    TFakeLocalAddresses local;
    local.List = {TFakeLocalAddresses::Plain({u"fe80::1", u"2001:db8::5"})};
    EXPECT_EQ(GetLocalIP(local), u"");
    EXPECT_EQ(local.Cleanups, 1);
}

TEST(GetLocalIPTest, SocketLayerFailureRaisesWithoutCleanup)
{
    TFakeLocalAddresses local = TFakeLocalAddresses::WithAddress(u"10.0.0.5");
    local.StartupResult = 10091;  // WSASYSNOTREADY
    EXPECT_THROW(GetLocalIP(local), EAppError);
    EXPECT_EQ(local.Cleanups, 0);
    EXPECT_EQ(local.ListedWhileStarted, 0);
}

// --- GetActiveNetwork -------------------------------------------------------------------

class GetActiveNetworkTest : public ::testing::Test {
protected:
    TFakeWmi Wmi;
    TFakeLocalAddresses Local = TFakeLocalAddresses::WithAddress(u"192.168.0.10");
    std::u16string Name, Guid, IP;

    bool Run() { return GetActiveNetwork(Wmi, Local, Name, Guid, IP); }

    void ExpectComBalanced()
    {
        EXPECT_EQ(Wmi.Initialized, 0);
        EXPECT_EQ(Wmi.LiveAtUninitialize, 0) << "objects released after CoUninitialize";
        ASSERT_FALSE(Wmi.Log.empty());
        EXPECT_EQ(Wmi.Log.front(), "Initialize");
        EXPECT_EQ(Wmi.Log.back(), "Uninitialize");
        EXPECT_EQ(std::count(Wmi.Log.begin(), Wmi.Log.end(), "Uninitialize"), 1);
    }
};

TEST_F(GetActiveNetworkTest, ChoosesAdapterInReferencePrefixWithExactCalls)
{
    Wmi.Adapters = {TFakeWmi::Adapter(u"1", u"Intel Ethernet", kGuid1),
                    TFakeWmi::Adapter(u"7", u"Realtek Wi-Fi", kGuid2)};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"10.0.0.5"})};
    Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"192.168.0.77"})};

    ASSERT_TRUE(Run());
    EXPECT_EQ(Name, u"Realtek Wi-Fi");
    EXPECT_EQ(Guid, kGuid2);  // letter case passed on unchanged
    EXPECT_EQ(IP, u"192.168.0.77");

    const std::vector<std::string> expected = {
        "Initialize",
        "Connect localhost root\\CIMV2",
        kQuery1,
        "Read adapter[0] Index",
        "Read adapter[0] Name",
        "Read adapter[0] GUID",
        kQuery2 + "1",
        "Read configuration1[0] IPAddress",
        "Release configuration1[0]",
        "Release configuration1",
        "Release adapter[0]",
        "Read adapter[1] Index",
        "Read adapter[1] Name",
        "Read adapter[1] GUID",
        kQuery2 + "7",
        "Read configuration7[0] IPAddress",
        "Release configuration7[0]",  // both enumerations stop at the match
        "Release configuration7",
        "Release adapter[1]",
        "Release adapter",
        "Release services",
        "Uninitialize",
    };
    EXPECT_EQ(Wmi.Log, expected);
    EXPECT_EQ(Local.Cleanups, 1);
}

TEST_F(GetActiveNetworkTest, FirstMatchWinsLaterAdaptersUntouched)
{
    Wmi.Adapters = {TFakeWmi::Adapter(u"1", u"A", kGuid1), TFakeWmi::Adapter(u"2", u"B", kGuid2)};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"192.168.0.20"})};
    Wmi.Configurations[u"2"] = {TFakeWmi::Configuration({u"192.168.0.30"})};
    ASSERT_TRUE(Run());
    EXPECT_EQ(IP, u"192.168.0.20");
    EXPECT_FALSE(Logged(Wmi.Log, "Read adapter[1] Index"));
}

struct NameCase {
    const char16_t* Name;
    bool Chosen;
};

class AdapterNameFilterTest : public GetActiveNetworkTest,
                              public ::testing::WithParamInterface<NameCase> {};

TEST_P(AdapterNameFilterTest, VirtualAndSharingAdaptersSkippedInAnyCase)
{
    Wmi.Adapters = {TFakeWmi::Adapter(u"3", GetParam().Name, kGuid1)};
    Wmi.Configurations[u"3"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    EXPECT_EQ(Run(), GetParam().Chosen);
    // A skipped adapter's configuration is never asked for.
    EXPECT_EQ(Logged(Wmi.Log, kQuery2 + "3"), GetParam().Chosen);
    ExpectComBalanced();
}

INSTANTIATE_TEST_SUITE_P(
    Table, AdapterNameFilterTest,
    ::testing::Values(NameCase{u"VMware Virtual Ethernet Adapter for VMnet8", false},
                      NameCase{u"vmWARE network", false},
                      NameCase{u"VirtualBox Host-Only Ethernet Adapter", false},
                      NameCase{u"VIRTUALBOX bridged", false},
                      NameCase{u"Microsoft Internet Connection Sharing", false},
                      NameCase{u"internet sharing adapter", false},
                      NameCase{u"Intel(R) Ethernet Connection I219-V", true},
                      NameCase{u"VM ware Virtual Box Shar ing", true},
                      NameCase{u"", true}));

TEST_F(GetActiveNetworkTest, OnlyFirstIPAddressEntryIsJudged)
{
    Wmi.Adapters = {TFakeWmi::Adapter(u"1", u"Ethernet", kGuid1)};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"10.0.0.5", u"192.168.0.77"})};
    EXPECT_FALSE(Run());
    // After false the texts still describe the adapter examined last.
    EXPECT_EQ(Name, u"Ethernet");
    EXPECT_EQ(Guid, kGuid1);
    EXPECT_EQ(IP, u"10.0.0.5");
}

TEST_F(GetActiveNetworkTest, UnusableConfigurationsAreSkipped)
{
    Wmi.Adapters = {TFakeWmi::Adapter(u"1", u"Ethernet", kGuid1)};
    Wmi.Configurations[u"1"] = {
        {{u"IPAddress", TWmiValue::Null()}},
        {{u"IPAddress", TWmiValue::Scalar(u"192.168.0.50")}},  // not an array
        TFakeWmi::Configuration({}),                           // an array without entries
        TFakeWmi::Configuration({u"192.168.0.77"}),
    };
    ASSERT_TRUE(Run());
    EXPECT_EQ(IP, u"192.168.0.77");
}

struct ReferenceCase {
    const char16_t* Local;    // the machine's IPv4 address, "" for none
    const char16_t* First;    // the adapter's first configured address
    bool Chosen;
};

class EmptyReferenceTest : public GetActiveNetworkTest,
                           public ::testing::WithParamInterface<ReferenceCase> {};

TEST_P(EmptyReferenceTest, PrefixRuleAgainstLocalAddress)
{
    Local = TFakeLocalAddresses::WithAddress(GetParam().Local);
    Local.List.push_back(TFakeLocalAddresses::Plain({u"fe80::5"}));
    Wmi.Adapters = {TFakeWmi::Adapter(u"1", u"Ethernet", kGuid1)};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({GetParam().First})};
    EXPECT_EQ(Run(), GetParam().Chosen);
}

INSTANTIATE_TEST_SUITE_P(Table, EmptyReferenceTest,
                         ::testing::Values(ReferenceCase{u"", u"fe80::1234", true},
                                           ReferenceCase{u"", u"192.168.0.77", false},
                                           ReferenceCase{u"192.168.0.10", u"fe80::1234", false}));

TEST_F(GetActiveNetworkTest, NullIndexEndsSearch)
{
    TFakeWmi::TObject nullIndex = TFakeWmi::Adapter(u"", u"Ethernet", kGuid1);
    nullIndex[u"Index"] = TWmiValue::Null();
    Wmi.Adapters = {nullIndex, TFakeWmi::Adapter(u"2", u"Wi-Fi", kGuid2)};
    Wmi.Configurations[u"2"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    EXPECT_FALSE(Run());
    EXPECT_FALSE(Logged(Wmi.Log, "Read adapter[0] Name"));
    EXPECT_FALSE(Logged(Wmi.Log, "Read adapter[1] Index"));
    ExpectComBalanced();
}

class AdapterReadErrorTest : public GetActiveNetworkTest,
                             public ::testing::WithParamInterface<const char16_t*> {};

TEST_P(AdapterReadErrorTest, SkipsThatAdapterOnly)
{
    TFakeWmi::TObject broken = TFakeWmi::Adapter(u"1", u"Ethernet", kGuid1);
    broken[GetParam()] = TWmiValue::Error(u"read failed");
    Wmi.Adapters = {broken, TFakeWmi::Adapter(u"2", u"Wi-Fi", kGuid2)};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"192.168.0.20"})};
    Wmi.Configurations[u"2"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    ASSERT_TRUE(Run());
    EXPECT_EQ(Guid, kGuid2);
    EXPECT_EQ(IP, u"192.168.0.77");
    EXPECT_FALSE(Logged(Wmi.Log, kQuery2 + "1"));
}

INSTANTIATE_TEST_SUITE_P(Table, AdapterReadErrorTest,
                         ::testing::Values(u"Index", u"Name", u"GUID"));

TEST_F(GetActiveNetworkTest, AdapterWithoutGuidIsSkipped)
{
    TFakeWmi::TObject nullGuid = TFakeWmi::Adapter(u"1", u"Ethernet", u"");
    nullGuid[u"GUID"] = TWmiValue::Null();
    Wmi.Adapters = {nullGuid, TFakeWmi::Adapter(u"2", u"Ethernet 2", u""),
                    TFakeWmi::Adapter(u"3", u"Wi-Fi", kGuid2)};
    for (const char16_t* index : {u"1", u"2", u"3"})
        Wmi.Configurations[index] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    ASSERT_TRUE(Run());
    EXPECT_EQ(Name, u"Wi-Fi");
    EXPECT_FALSE(Logged(Wmi.Log, kQuery2 + "1"));
    EXPECT_FALSE(Logged(Wmi.Log, kQuery2 + "2"));
}

TEST_F(GetActiveNetworkTest, NoAdaptersGivesFalse)
{
    EXPECT_FALSE(Run());
    ExpectComBalanced();
}

struct FailureCase {
    const char* What;
    void (*Arrange)(TFakeWmi&);
};

class DiscoveryFailureTest : public GetActiveNetworkTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DiscoveryFailureTest, RaisedWithComBalanced)
{
    Wmi.Adapters = {TFakeWmi::Adapter(u"4", u"Ethernet", kGuid1)};
    Wmi.Configurations[u"4"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    GetParam().Arrange(Wmi);
    EXPECT_THROW(Run(), EAppError);
    ExpectComBalanced();
}

INSTANTIATE_TEST_SUITE_P(
    Table, DiscoveryFailureTest,
    ::testing::Values(
        FailureCase{"connection", [](TFakeWmi& w) { w.FailConnect = true; }},
        FailureCase{"adapter query", [](TFakeWmi& w) { w.FailingQuery = kAdapterQuery; }},
        FailureCase{"configuration query",
                    [](TFakeWmi& w) { w.FailingQuery = std::u16string(kConfigurationQuery) + u"4"; }},
        FailureCase{"IPAddress read",
                    [](TFakeWmi& w) { w.Configurations[u"4"][0][u"IPAddress"] = TWmiValue::Error(u"x"); }}),
    [](const auto& info) {
        std::string name = info.param.What;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(GetActiveNetworkTest, LocalAddressIsTakenBeforeComAndItsFailureRaises)
{
    Local.StartupResult = 10091;
    EXPECT_THROW(Run(), EAppError);
    EXPECT_TRUE(Wmi.Log.empty());
}

// --- GetActiveNetwork: the adapter of the route to the internet ------------------------

// The reference address belongs to an adapter that WMI does not list as physical (a VPN, a
// virtual switch): the local list has it first, the physical adapter second.
class RouteAdapterTest : public GetActiveNetworkTest {
protected:
    static constexpr std::uint32_t kRouteIndex = 12;
    RouteAdapterTest()
    {
        TLocalAdapter virtualSwitch = TFakeLocalAddresses::Plain({u"172.20.0.1"});
        virtualSwitch.InterfaceIndex = 30;
        virtualSwitch.Guid = u"{33333333-0000-0000-0000-000000000000}";
        TLocalAdapter ethernet = TFakeLocalAddresses::Plain({u"fe80::7", u"192.168.0.77"});
        ethernet.InterfaceIndex = kRouteIndex;
        ethernet.Guid = u"{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}";  // kGuid2 in lower case
        Local.List = {virtualSwitch, ethernet};
        Local.Route = kRouteIndex;
    }
    static TFakeWmi::TObject Adapter(const std::u16string& index, const std::u16string& name,
                                     const std::u16string& guid, const std::u16string& interfaceIndex)
    {
        TFakeWmi::TObject adapter = TFakeWmi::Adapter(index, name, guid);
        if (!interfaceIndex.empty()) adapter[u"InterfaceIndex"] = TWmiValue::Scalar(interfaceIndex);
        return adapter;
    }
};

TEST_F(RouteAdapterTest, TheAdapterOfTheRouteIsTakenByIndexOrGuid)
{
    struct Case {
        const char* Name;
        std::u16string InterfaceIndex;  // of the route's adapter in WMI; empty: not readable
        std::u16string LocalGuid;       // the socket layer's name of the route's interface
        bool Chosen;
    } cases[] = {
        {"by interface index", u"12", u"", true},
        {"by GUID, any letter case", u"", u"{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}", true},
        {"both", u"12", u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", true},
        {"neither", u"13", u"{aaaaaaaa-bbbb-cccc-dddd-000000000000}", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Wmi = TFakeWmi();
        Local.List[1].Guid = c.LocalGuid;
        Wmi.Adapters = {Adapter(u"1", u"Intel Ethernet", kGuid1, u"5"),
                        Adapter(u"7", u"Realtek Ethernet", kGuid2, c.InterfaceIndex)};
        Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"10.0.0.5"})};
        Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"fe80::7", u"192.168.0.77"})};
        EXPECT_EQ(Run(), c.Chosen);
        if (c.Chosen) {
            EXPECT_EQ(Name, u"Realtek Ethernet");
            EXPECT_EQ(Guid, kGuid2);
            EXPECT_EQ(IP, u"192.168.0.77");  // its first IPv4 address, not its first entry
        }
        ExpectComBalanced();
        EXPECT_EQ(Local.Startups, Local.Cleanups);
    }
}

// The address shown is the adapter's first configured IPv4 address, in whichever entry;
// without one, its first address.
TEST_F(RouteAdapterTest, TheAddressShownIsTheFirstIPv4OneOfTheAdapter)
{
    struct Case {
        const char* Name;
        std::vector<TFakeWmi::TObject> Configurations;
        const char16_t* IP;
    } cases[] = {
        {"second entry",
         {TFakeWmi::Configuration({u"fe80::7", u"10.1.1.1"}), TFakeWmi::Configuration({u"10.2.2.2"})},
         u"10.1.1.1"},
        {"later configuration",
         {TFakeWmi::Configuration({u"fe80::7"}), {{u"IPAddress", TWmiValue::Null()}},
          TFakeWmi::Configuration({u"192.168.0.77"})},
         u"192.168.0.77"},
        {"IPv6 only", {TFakeWmi::Configuration({u"fe80::7", u"2001:db8::7"})}, u"fe80::7"},
        {"no address", {}, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Wmi = TFakeWmi();
        Wmi.Adapters = {Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
        Wmi.Configurations[u"7"] = c.Configurations;
        ASSERT_TRUE(Run());
        EXPECT_EQ(IP, c.IP);
    }
}

// The route's adapter must pass the same filters: physical (WMI's query) and not a virtual
// or sharing adapter by name.
TEST_F(RouteAdapterTest, TheSameFiltersHold)
{
    for (const char16_t* name : {u"VMware Virtual Ethernet Adapter", u"Internet SHARING"}) {
        Wmi = TFakeWmi();
        Wmi.Adapters = {Adapter(u"7", name, kGuid2, u"12")};
        Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
        EXPECT_FALSE(Run()) << Utf16ToUtf8(name);
        EXPECT_FALSE(Logged(Wmi.Log, kQuery2 + "7"));
    }
    // Not listed by the physical query at all: only another adapter is.
    Wmi = TFakeWmi();
    Wmi.Adapters = {Adapter(u"1", u"Intel Ethernet", kGuid1, u"5")};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"10.0.0.5"})};
    EXPECT_FALSE(Run());
}

// When the rule finds an adapter, its choice stands and no route is looked up; without a
// route nothing more is asked of WMI.
TEST_F(RouteAdapterTest, OnlyWhenTheRuleFindsNothing)
{
    Local.List[0] = TFakeLocalAddresses::Plain({u"10.0.0.9"});
    Wmi.Adapters = {Adapter(u"1", u"Intel Ethernet", kGuid1, u"5"),
                    Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
    Wmi.Configurations[u"1"] = {TFakeWmi::Configuration({u"10.0.0.5"})};
    Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    ASSERT_TRUE(Run());
    EXPECT_EQ(Guid, kGuid1);
    EXPECT_EQ(Local.RouteLookups, 0);

    Wmi = TFakeWmi();
    Local.List[0] = TFakeLocalAddresses::Plain({u"172.20.0.1"});
    Local.Route.reset();
    Wmi.Adapters = {Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
    Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    EXPECT_FALSE(Run());
    EXPECT_EQ(Local.RouteLookups, 1);
    EXPECT_EQ(std::count(Wmi.Log.begin(), Wmi.Log.end(), kQuery1), 1);
    ExpectComBalanced();
}

// The second search follows the first one's rules: a null Index ends it, a failed read skips
// one adapter, a failing query or socket layer raises with COM balanced.
TEST_F(RouteAdapterTest, ReadRulesAndFailures)
{
    TFakeWmi::TObject nullIndex = Adapter(u"", u"Ethernet", kGuid1, u"12");
    nullIndex[u"Index"] = TWmiValue::Null();
    Wmi.Adapters = {nullIndex, Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
    Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    EXPECT_FALSE(Run());

    Wmi = TFakeWmi();
    TFakeWmi::TObject broken = Adapter(u"1", u"Ethernet", kGuid1, u"12");
    broken[u"Name"] = TWmiValue::Error(u"read failed");
    Wmi.Adapters = {broken, Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
    Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"192.168.0.77"})};
    ASSERT_TRUE(Run());
    EXPECT_EQ(Guid, kGuid2);

    Wmi = TFakeWmi();
    Wmi.Adapters = {Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
    Wmi.Configurations[u"7"] = {{{u"IPAddress", TWmiValue::Error(u"x")}}};
    EXPECT_THROW(Run(), EAppError);  // in the first search already
    ExpectComBalanced();

    // The socket layer fails when asked the second time.
    struct TFailingSecondTime final : ILocalAddresses {
        TFakeLocalAddresses& Inner;
        explicit TFailingSecondTime(TFakeLocalAddresses& inner) : Inner(inner) {}
        int Startup() override { return Inner.Startups > 0 ? (++Inner.Startups, 10091) : Inner.Startup(); }
        void Cleanup() override { Inner.Cleanup(); }
        std::vector<TLocalAdapter> Adapters() override { return Inner.Adapters(); }
        std::optional<std::uint32_t> InternetInterface() override { return Inner.InternetInterface(); }
    } failing(Local);
    Wmi = TFakeWmi();
    Local.Startups = Local.Cleanups = 0;
    Wmi.Adapters = {Adapter(u"7", u"Realtek Ethernet", kGuid2, u"12")};
    Wmi.Configurations[u"7"] = {TFakeWmi::Configuration({u"10.9.9.9"})};
    EXPECT_THROW(GetActiveNetwork(Wmi, failing, Name, Guid, IP), EAppError);
    EXPECT_EQ(Local.Cleanups, 1);
    ExpectComBalanced();
}

// --- EnableNetwork ----------------------------------------------------------------------

netcon::TGuid Guid(std::uint32_t first)
{
    return {first, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
}

TEST(GuidTextTest, BracedLowerCaseWithLeadingZeros)
{
    EXPECT_EQ(GuidText(Guid(0xBA126AD1)), u"{ba126ad1-2166-11d1-b1d0-00805fc1270e}");
    EXPECT_EQ(GuidText({0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 0x4}}),
              u"{00000001-0002-0003-0000-000000000004}");
}

class EnableNetworkTest : public ::testing::Test {
protected:
    TFakeNetConnections Net;

    void SetUp() override
    {
        Net.Connections = {{Guid(0x0000000A)}, {Guid(0xBA126AD1)}, {Guid(0x0000000C)}};
    }
    void ExpectAllReleased()
    {
        EXPECT_TRUE(Net.Unloaded);
        EXPECT_EQ(Net.LiveAtUnload, 0) << "module unloaded before its objects were released";
        EXPECT_EQ(Net.Freed, Net.Handed) << "a properties block was not released";
        EXPECT_LE(Net.MaxLiveConnections, 1) << "the previous connection was not released";
    }
};

struct MatchCase {
    const char16_t* Target;
    bool Enable;
    bool Result;
    std::vector<std::string> Calls;
    std::size_t Fetched;
};

class EnableNetworkMatchTest : public EnableNetworkTest,
                               public ::testing::WithParamInterface<MatchCase> {};

TEST_P(EnableNetworkMatchTest, FindsConnectionByGuidText)
{
    EXPECT_EQ(EnableNetwork(Net, GetParam().Target, GetParam().Enable), GetParam().Result);
    EXPECT_EQ(Net.Calls, GetParam().Calls);
    EXPECT_EQ(Net.Fetched, GetParam().Fetched);
    EXPECT_EQ(Net.EnumFlags, netcon::kEnumDefault);
    ExpectAllReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnableNetworkMatchTest,
    ::testing::Values(
        MatchCase{u"{ba126ad1-2166-11d1-b1d0-00805fc1270e}", false, true, {"Disconnect 1"}, 2},
        MatchCase{u"{BA126AD1-2166-11D1-B1D0-00805FC1270E}", true, true, {"Connect 1"}, 2},
        MatchCase{u"{Ba126aD1-2166-11d1-B1D0-00805fc1270E}", false, true, {"Disconnect 1"}, 2},
        MatchCase{u"ba126ad1-2166-11d1-b1d0-00805fc1270e", true, false, {}, 3},
        MatchCase{u"{ba126ad1-2166-11d1-b1d0-00805fc1270e} ", true, false, {}, 3},
        MatchCase{u"", false, false, {}, 3}));

TEST_F(EnableNetworkTest, ConnectionWithoutPropertiesIsSkipped)
{
    Net.Connections[0].Guid = Guid(0xBA126AD1);
    Net.Connections[0].PropertiesResult = TFakeNetConnections::kFail;
    EXPECT_TRUE(EnableNetwork(Net, u"{BA126AD1-2166-11D1-B1D0-00805FC1270E}", true));
    EXPECT_EQ(Net.Calls, std::vector<std::string>{"Connect 1"});
    EXPECT_EQ(Net.Handed, (std::set<std::uintptr_t>{1001}));
    ExpectAllReleased();
}

TEST_F(EnableNetworkTest, RefusedCallGivesFalseWithoutTryingTheOtherDirection)
{
    Net.Connections[1].ConnectResult = TFakeNetConnections::kFail;
    Net.Connections[1].DisconnectResult = 1;  // S_FALSE is not success either
    EXPECT_FALSE(EnableNetwork(Net, u"{ba126ad1-2166-11d1-b1d0-00805fc1270e}", true));
    EXPECT_FALSE(EnableNetwork(Net, u"{ba126ad1-2166-11d1-b1d0-00805fc1270e}", false));
    EXPECT_EQ(Net.Calls, (std::vector<std::string>{"Connect 1", "Disconnect 1"}));
    ExpectAllReleased();
}

struct StepFailure {
    const char* What;
    void (*Arrange)(TFakeNetConnections&);
};

class EnableNetworkFailureTest : public EnableNetworkTest,
                                 public ::testing::WithParamInterface<StepFailure> {};

TEST_P(EnableNetworkFailureTest, FalseWithNoConnectionTouched)
{
    GetParam().Arrange(Net);
    EXPECT_FALSE(EnableNetwork(Net, u"{ba126ad1-2166-11d1-b1d0-00805fc1270e}", false));
    EXPECT_TRUE(Net.Calls.empty());
    EXPECT_EQ(Net.Fetched, 0u);
    if (!Net.FailLoad) ExpectAllReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnableNetworkFailureTest,
    ::testing::Values(
        StepFailure{"module", [](TFakeNetConnections& n) { n.FailLoad = true; }},
        StepFailure{"export", [](TFakeNetConnections& n) { n.LackFreeProperties = true; }},
        StepFailure{"manager", [](TFakeNetConnections& n) { n.CreateManagerResult = TFakeNetConnections::kFail; }},
        StepFailure{"enumeration", [](TFakeNetConnections& n) { n.EnumResult = TFakeNetConnections::kFail; }}),
    [](const auto& info) { return std::string(info.param.What); });

// --- ProbePublicIP ----------------------------------------------------------------------

struct ProbeCase {
    std::optional<std::u16string> Body;
    bool Result;
};

class ProbePublicIPTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbePublicIPTest, LooksForQuotedIpKey)
{
    TFakeHttp http;
    http.Answers = {GetParam().Body};
    EXPECT_EQ(ProbePublicIP(http, u"http://127.0.0.1:1/myip"), GetParam().Result);
    ASSERT_EQ(http.Requests.size(), 1u);
    EXPECT_EQ(http.Requests[0].URL, u"http://127.0.0.1:1/myip");
    EXPECT_TRUE(http.Requests[0].Headers.empty());
    EXPECT_EQ(http.Requests[0].Decoding, TBodyDecoding::DeclaredCharset);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProbePublicIPTest,
    ::testing::Values(ProbeCase{u"{\"ip\":\"203.0.113.7\"}", true},
                      ProbeCase{u"<html>404 Not Found \"ip\"</html>", true},
                      ProbeCase{u"{\"IP\":\"203.0.113.7\"}", false},
                      ProbeCase{u"{\"ipv6\":\"2001:db8::1\"}", false},
                      ProbeCase{u"{ip:\"203.0.113.7\"}", false},
                      ProbeCase{u"", false},
                      ProbeCase{std::nullopt, false}));

TEST(ProbePublicIPErrorTest, ClientErrorGivesFalse)
{
    class TThrowingHttp final : public IHttp {
    public:
        std::optional<std::u16string> Get(const std::u16string&, const std::vector<THttpHeader>&,
                                          TBodyDecoding) override
        {
            throw std::runtime_error("transfer broken");
        }
    } http;
    EXPECT_FALSE(ProbePublicIP(http, u"http://127.0.0.1:1/myip"));
}
}  // namespace
