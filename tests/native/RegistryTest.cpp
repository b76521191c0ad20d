// Registry values by full path over the in-memory registry: root names, path splitting,
// creation of missing keys, the access mask, and absorbed failures.
#include <gtest/gtest.h>

#include "support/MemoryRegistry.h"
#include "system/Registry.h"

namespace {
const std::u16string kMsmq = u"SOFTWARE\\Microsoft\\MSMQ\\Parameters";

struct RootCase {
    const char16_t* Name;
    std::uint32_t Expected;
};

class ParseRootKeyTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(ParseRootKeyTest, MapsExactNamesOnly)
{
    EXPECT_EQ(ParseRootKey(GetParam().Name), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseRootKeyTest,
    ::testing::Values(RootCase{u"HKEY_CLASSES_ROOT", 0x80000000u},
                      RootCase{u"HKEY_CURRENT_USER", 0x80000001u},
                      RootCase{u"HKEY_LOCAL_MACHINE", 0x80000002u},
                      RootCase{u"HKEY_USERS", 0x80000003u},
                      RootCase{u"HKEY_PERFORMANCE_DATA", 0x80000004u},
                      RootCase{u"HKEY_CURRENT_CONFIG", 0x80000005u},
                      RootCase{u"HKEY_DYN_DATA", 0x80000006u},
                      RootCase{u"hkey_local_machine", 0}, RootCase{u"HKLM", 0},
                      RootCase{u"HKEY_LOCAL_MACHINE ", 0}, RootCase{u"", 0}));

struct SplitCase {
    const char16_t* Path;
    const char16_t* Root;
    const char16_t* Sub;
};

class SplitRegPathTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitRegPathTest, SplitsAtFirstBackslash)
{
    const auto parts = SplitRegPath(GetParam().Path);
    EXPECT_EQ(parts.RootName, GetParam().Root);
    EXPECT_EQ(parts.SubPath, GetParam().Sub);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitRegPathTest,
    ::testing::Values(SplitCase{u"HKEY_LOCAL_MACHINE\\A\\B", u"HKEY_LOCAL_MACHINE", u"A\\B"},
                      SplitCase{u"HKEY_LOCAL_MACHINE\\\\A\\B", u"HKEY_LOCAL_MACHINE", u"A\\B"},
                      SplitCase{u"HKEY_LOCAL_MACHINE\\\\\\A", u"HKEY_LOCAL_MACHINE", u"\\A"},
                      SplitCase{u"HKEY_LOCAL_MACHINE\\A\\", u"HKEY_LOCAL_MACHINE", u"A\\"},
                      SplitCase{u"HKEY_LOCAL_MACHINE\\", u"HKEY_LOCAL_MACHINE", u""},
                      SplitCase{u"HKEY_LOCAL_MACHINE", u"", u"HKEY_LOCAL_MACHINE"},
                      SplitCase{u"", u"", u""}));

class RegistryPathTest : public ::testing::Test {
protected:
    TMemoryRegistry Reg;
};

TEST_F(RegistryPathTest, WriteCreatesMissingKeyChainAndStoresDword)
{
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"TCPNoDelay", 1);
    EXPECT_TRUE(Reg.KeyExists(reg::kLocalMachine, u"SOFTWARE\\Microsoft"));
    const auto v = Reg.Get(reg::kLocalMachine, kMsmq, u"TCPNoDelay");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Type, reg::kTypeDword);
    EXPECT_EQ(v->Data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(Reg.OpenHandles(), 0u);
}

TEST_F(RegistryPathTest, MinusOneIsStoredAsAllBitsSet)
{
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"V", -1);
    EXPECT_EQ(Reg.GetDword(reg::kLocalMachine, kMsmq, u"V"), 0xFFFFFFFFu);
    EXPECT_EQ(Reg.Get(reg::kLocalMachine, kMsmq, u"V")->Data,
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(RegistryPathTest, WriteReplacesAValueWhateverItsNameCase)
{
    Reg.PutDword(reg::kLocalMachine, kMsmq, u"tcpnodelay", 7);
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\software\\microsoft\\msmq\\parameters",
                    u"TCPNoDelay", 1);
    EXPECT_EQ(Reg.GetDword(reg::kLocalMachine, kMsmq, u"TCPNODELAY"), 1u);
    EXPECT_EQ(Reg.Dump().size(), 1u);
}

TEST_F(RegistryPathTest, DeleteOnMissingKeyCreatesItEmpty)
{
    DeleteRegValue(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"TCPNoDelay");
    EXPECT_TRUE(Reg.KeyExists(reg::kLocalMachine, kMsmq));
    EXPECT_TRUE(Reg.Dump().empty());
    EXPECT_EQ(Reg.OpenHandles(), 0u);
}

TEST_F(RegistryPathTest, DeleteRemovesOnlyTheNamedValue)
{
    Reg.PutDword(reg::kLocalMachine, kMsmq, u"TCPNoDelay", 1);
    Reg.PutDword(reg::kLocalMachine, kMsmq, u"Other", 2);
    DeleteRegValue(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"tcpnodelay");
    EXPECT_FALSE(Reg.Get(reg::kLocalMachine, kMsmq, u"TCPNoDelay"));
    EXPECT_EQ(Reg.GetDword(reg::kLocalMachine, kMsmq, u"Other"), 2u);
}

TEST_F(RegistryPathTest, UnknownRootOrNoBackslashChangesNothing)
{
    for (const char16_t* path : {u"hkey_local_machine\\SOFTWARE\\X", u"HKLM\\SOFTWARE\\X",
                                 u"SOFTWARE", u"", u"\\SOFTWARE\\X"}) {
        WriteRegInteger(Reg, path, u"V", 1);
        DeleteRegValue(Reg, path, u"V");
    }
    EXPECT_TRUE(Reg.Dump().empty());
    EXPECT_FALSE(Reg.KeyExists(reg::kLocalMachine, u"SOFTWARE"));
    EXPECT_EQ(Reg.OpenHandles(), 0u);
}

TEST_F(RegistryPathTest, DoubledBackslashAfterRootAddressesTheSameKey)
{
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\\\" + kMsmq, u"V", 5);
    EXPECT_EQ(Reg.GetDword(reg::kLocalMachine, kMsmq, u"V"), 5u);
}

TEST_F(RegistryPathTest, EmptySubPathOpensTheRootWithoutCreating)
{
    WriteRegInteger(Reg, u"HKEY_CURRENT_USER\\", u"V", 3);
    ASSERT_EQ(Reg.Opens().size(), 1u);
    EXPECT_FALSE(Reg.Opens()[0].Create);
    EXPECT_EQ(Reg.GetDword(reg::kCurrentUser, u"", u"V"), 3u);
}

TEST_F(RegistryPathTest, EveryKeyIsOpenedWithTheSixtyFourBitViewMask)
{
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"A", 1);
    DeleteRegValue(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"A");
    WriteRegInteger(Reg, u"HKEY_CURRENT_USER\\", u"B", 1);
    ASSERT_EQ(Reg.Opens().size(), 3u);
    for (const auto& open : Reg.Opens()) EXPECT_EQ(open.Access, 0x2011Fu);
    EXPECT_TRUE(Reg.Opens()[0].Create);
}

TEST_F(RegistryPathTest, RefusedAccessIsAbsorbedAndLeavesTheStoreUnchanged)
{
    Reg.PutDword(reg::kLocalMachine, kMsmq, u"TCPNoDelay", 1);
    const auto before = Reg.Dump();
    Reg.RefuseOpen(reg::kLocalMachine, reg::kAccessDenied);
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"TCPNoDelay", 9);
    DeleteRegValue(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"TCPNoDelay");
    EXPECT_EQ(Reg.Dump(), before);
    EXPECT_EQ(Reg.OpenHandles(), 0u);
}

TEST_F(RegistryPathTest, FailedSetStillClosesTheKey)
{
    Reg.RefuseWrites(reg::kAccessDenied);
    WriteRegInteger(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"V", 1);
    DeleteRegValue(Reg, u"HKEY_LOCAL_MACHINE\\" + kMsmq, u"V");
    EXPECT_EQ(Reg.OpenHandles(), 0u);
    EXPECT_TRUE(Reg.Dump().empty());
}
}  // namespace
