// The settings store over the in-memory registry: encodings, defaults, wrong types, refused
// access, and two stores at once.
#include <gtest/gtest.h>

#include "common/Config.h"
#include "common/Error.h"
#include "support/MemoryRegistry.h"

namespace {
const std::u16string kKey = u"Software\\Tavrino";

class ConfigTest : public ::testing::Test {
protected:
    TMemoryRegistry Reg;
};

TEST_F(ConfigTest, CreateOpensTheProductKeyWithFullAccess)
{
    { TConfig config(Reg, u"Tavrino"); }
    ASSERT_EQ(Reg.Opens().size(), 1u);
    EXPECT_EQ(Reg.Opens()[0].Root, reg::kCurrentUser);
    EXPECT_EQ(Reg.Opens()[0].Path, u"software\\tavrino");
    EXPECT_EQ(Reg.Opens()[0].Access, 0xF003Fu);
    EXPECT_TRUE(Reg.KeyExists(reg::kCurrentUser, kKey));
    EXPECT_EQ(Reg.OpenHandles(), 0u);
}

TEST_F(ConfigTest, MissingValuesGiveTheirDefaults)
{
    TConfig config(Reg, u"Tavrino");
    EXPECT_EQ(config.ReadInteger(u"status", 42), 42);
    EXPECT_TRUE(config.ReadBoolean(u"tcpnodelay", true));
    EXPECT_FALSE(config.ReadBoolean(u"tcpnodelay", false));
    EXPECT_EQ(config.ReadString(u"name", u"none"), u"none");
}

TEST_F(ConfigTest, WritesUseTheEncodingsTableAndReturnTheirValue)
{
    {
        TConfig config(Reg, u"Tavrino");
        EXPECT_EQ(config.WriteInteger(u"status", -1), -1);
        EXPECT_TRUE(config.WriteBoolean(u"on", true));
        EXPECT_FALSE(config.WriteBoolean(u"off", false));
        EXPECT_EQ(config.WriteString(u"text", u"가a"), u"가a");
    }
    EXPECT_EQ(Reg.Get(reg::kCurrentUser, kKey, u"status")->Data,
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Reg.GetDword(reg::kCurrentUser, kKey, u"on"), 1u);
    EXPECT_EQ(Reg.GetDword(reg::kCurrentUser, kKey, u"off"), 0u);
    const auto text = Reg.Get(reg::kCurrentUser, kKey, u"text");
    EXPECT_EQ(text->Type, reg::kTypeSz);
    EXPECT_EQ(text->Data, (std::vector<std::uint8_t>{0x00, 0xAC, 'a', 0, 0, 0}));
    TConfig config(Reg, u"Tavrino");
    EXPECT_EQ(config.ReadInteger(u"status", 0), -1);
    EXPECT_TRUE(config.ReadBoolean(u"on", false));
    EXPECT_FALSE(config.ReadBoolean(u"off", true));
    EXPECT_EQ(config.ReadString(u"text", u""), u"가a");
}

TEST_F(ConfigTest, AnyNonZeroDwordReadsAsTrue)
{
    Reg.PutDword(reg::kCurrentUser, kKey, u"two", 2);
    Reg.PutDword(reg::kCurrentUser, kKey, u"all", 0xFFFFFFFFu);
    TConfig config(Reg, u"Tavrino");
    EXPECT_TRUE(config.ReadBoolean(u"two", false));
    EXPECT_TRUE(config.ReadBoolean(u"all", false));
    EXPECT_EQ(config.ReadInteger(u"all", 0), -1);
}

TEST_F(ConfigTest, StringReadStopsAtTheFirstNulAndAcceptsExpandSz)
{
    Reg.Put(reg::kCurrentUser, kKey, u"s", reg::kTypeSz, {'a', 0, 0, 0, 'b', 0, 0, 0});
    Reg.Put(reg::kCurrentUser, kKey, u"e", reg::kTypeExpandSz, {'%', 0, 'X', 0, '%', 0});
    Reg.Put(reg::kCurrentUser, kKey, u"odd", reg::kTypeSz, {'a', 0, 'b'});
    TConfig config(Reg, u"Tavrino");
    EXPECT_EQ(config.ReadString(u"s", u""), u"a");
    EXPECT_EQ(config.ReadString(u"e", u""), u"%X%");
    EXPECT_EQ(config.ReadString(u"odd", u""), u"a");
}

struct WrongTypeCase {
    const char* Label;
    std::uint32_t Type;
    std::vector<std::uint8_t> Data;
    bool AsBoolean;
};

class ConfigWrongTypeTest : public ::testing::TestWithParam<WrongTypeCase> {};

TEST_P(ConfigWrongTypeTest, RaisesAnErrorNamingTheValue)
{
    TMemoryRegistry reg;
    reg.Put(reg::kCurrentUser, kKey, u"status", GetParam().Type, GetParam().Data);
    TConfig config(reg, u"Tavrino");
    try {
        if (GetParam().AsBoolean) config.ReadBoolean(u"status", false);
        else config.ReadInteger(u"status", 0);
        FAIL() << "no error raised";
    } catch (const EAppError& e) {
        EXPECT_NE(e.Message().find(u"'status'"), std::u16string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConfigWrongTypeTest,
    ::testing::Values(WrongTypeCase{"SzAsInteger", reg::kTypeSz, {'1', 0, 0, 0}, false},
                      WrongTypeCase{"SzAsBoolean", reg::kTypeSz, {'1', 0, 0, 0}, true},
                      WrongTypeCase{"EightBytes", 11, {1, 0, 0, 0, 0, 0, 0, 0}, false},
                      WrongTypeCase{"LongDword", reg::kTypeDword, {1, 0, 0, 0, 0}, true},
                      WrongTypeCase{"Binary", 3, {1, 0, 0, 0}, false}),
    [](const auto& info) { return std::string(info.param.Label); });

TEST_F(ConfigTest, IntegerReadOfAStringRaisesInsteadOfTheDefault)
{
    Reg.PutString(reg::kCurrentUser, kKey, u"status", u"1");
    TConfig config(Reg, u"Tavrino");
    EXPECT_THROW(config.ReadInteger(u"status", 0), EAppError);
    EXPECT_EQ(config.ReadString(u"status", u""), u"1");
}

TEST_F(ConfigTest, StringReadOfADwordRaises)
{
    Reg.PutDword(reg::kCurrentUser, kKey, u"n", 1);
    TConfig config(Reg, u"Tavrino");
    EXPECT_THROW(config.ReadString(u"n", u""), EAppError);
}

TEST_F(ConfigTest, UnopenableKeyReadsDefaultsAndDropsWrites)
{
    Reg.RefuseOpen(reg::kCurrentUser, reg::kAccessDenied);
    TConfig config(Reg, u"Tavrino");
    EXPECT_EQ(config.WriteInteger(u"status", 1), 1);
    EXPECT_TRUE(config.WriteBoolean(u"b", true));
    EXPECT_EQ(config.ReadInteger(u"status", 7), 7);
    EXPECT_FALSE(config.ReadBoolean(u"b", false));
    EXPECT_TRUE(Reg.Dump().empty());
    EXPECT_EQ(Reg.OpenHandles(), 0u);
}

TEST_F(ConfigTest, FailedWriteIsDroppedAndKeepsTheOldValue)
{
    Reg.PutDword(reg::kCurrentUser, kKey, u"status", 1);
    Reg.RefuseWrites(reg::kAccessDenied);
    TConfig config(Reg, u"Tavrino");
    EXPECT_EQ(config.WriteInteger(u"status", 0), 0);
    EXPECT_EQ(config.ReadInteger(u"status", 9), 1);
}

TEST_F(ConfigTest, TwoStoresAtOnceDoNotInterfereAndTheLastWriteWins)
{
    TConfig first(Reg, u"Tavrino");
    TConfig second(Reg, u"Tavrino");
    first.WriteInteger(u"status", 1);
    second.WriteInteger(u"status", 0);
    EXPECT_EQ(first.ReadInteger(u"status", 5), 0);
    EXPECT_EQ(Reg.OpenHandles(), 2u);
}
}  // namespace
