// The registry facility, the full-path operations and the settings store against Wine's real
// registry, with the same cases run over the in-memory registry: what the portable tests
// assume of Windows is checked here against the real thing.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "common/Config.h"
#include "common/Error.h"
#include "support/MemoryRegistry.h"
#include "system/Registry.h"
#include "system/RegistryFacility_win.h"

namespace {
// A key of its own per test, so runs never see each other's values.
std::u16string TestKey(const char* name)
{
    return u"SOFTWARE\\TavrinoTest\\" + AsciiToUtf16(name) + u"_" +
           IntToText(static_cast<std::int64_t>(GetCurrentProcessId()));
}

template <class TRegistry>
class RegistryBehaviour : public ::testing::Test {
protected:
    TRegistry Reg;

    std::optional<std::uint32_t> ReadDword(std::uint32_t root, const std::u16string& path,
                                           const std::u16string& name, std::uint32_t access)
    {
        TRegKey key(Reg);
        if (Reg.OpenKey(Reg.Root(root), path, access, key.Out()) != reg::kSuccess) return {};
        std::uint32_t type = 0;
        std::uint8_t data[4];
        std::uint32_t size = sizeof data;
        if (Reg.QueryValue(key.Get(), name, &type, data, &size) != reg::kSuccess) return {};
        EXPECT_EQ(type, reg::kTypeDword);
        EXPECT_EQ(size, 4u);
        return reg::DwordFromBytes(data);
    }
    // Looks in the 64-bit view, where the program writes: a 32-bit test process would
    // otherwise look under Wow6432Node.
    bool KeyExists(std::uint32_t root, const std::u16string& path)
    {
        TRegKey key(Reg);
        return Reg.OpenKey(Reg.Root(root), path, reg::kKeyRead | reg::kKeyWow64_64, key.Out()) ==
               reg::kSuccess;
    }
};

using Registries = ::testing::Types<TWinRegistry, TMemoryRegistry>;
class RegistryNames {
public:
    template <class T>
    static std::string GetName(int)
    {
        return std::is_same_v<T, TWinRegistry> ? "Wine" : "Memory";
    }
};
TYPED_TEST_SUITE(RegistryBehaviour, Registries, RegistryNames);

TYPED_TEST(RegistryBehaviour, WriteCreatesTheKeyChainInTheSixtyFourBitView)
{
    const auto path = TestKey("chain") + u"\\Microsoft\\MSMQ\\Parameters";
    WriteRegInteger(this->Reg, u"HKEY_LOCAL_MACHINE\\" + path, u"TCPNoDelay", -1);
    EXPECT_EQ(this->ReadDword(reg::kLocalMachine, path, u"tcpnodelay", kRegPathAccess),
              0xFFFFFFFFu);
}

TYPED_TEST(RegistryBehaviour, DeleteCreatesTheMissingKeyEmpty)
{
    const auto path = TestKey("delete") + u"\\Parameters";
    DeleteRegValue(this->Reg, u"HKEY_LOCAL_MACHINE\\" + path, u"TCPNoDelay");
    EXPECT_TRUE(this->KeyExists(reg::kLocalMachine, path));
    EXPECT_FALSE(this->ReadDword(reg::kLocalMachine, path, u"TCPNoDelay", kRegPathAccess));
    WriteRegInteger(this->Reg, u"HKEY_LOCAL_MACHINE\\" + path, u"TCPNoDelay", 1);
    DeleteRegValue(this->Reg, u"HKEY_LOCAL_MACHINE\\" + path, u"TCPNODELAY");
    EXPECT_FALSE(this->ReadDword(reg::kLocalMachine, path, u"TCPNoDelay", kRegPathAccess));
}

TYPED_TEST(RegistryBehaviour, DoubledAndTrailingBackslashesAddressTheSameKey)
{
    const auto path = TestKey("slashes");
    WriteRegInteger(this->Reg, u"HKEY_LOCAL_MACHINE\\\\" + path, u"A", 1);
    WriteRegInteger(this->Reg, u"HKEY_LOCAL_MACHINE\\" + path + u"\\", u"B", 2);
    EXPECT_EQ(this->ReadDword(reg::kLocalMachine, path, u"A", kRegPathAccess), 1u);
    EXPECT_EQ(this->ReadDword(reg::kLocalMachine, path, u"B", kRegPathAccess), 2u);
}

TYPED_TEST(RegistryBehaviour, UnknownRootChangesNothing)
{
    const auto path = TestKey("unknown");
    WriteRegInteger(this->Reg, u"hkey_local_machine\\" + path, u"A", 1);
    DeleteRegValue(this->Reg, u"HKLM\\" + path, u"A");
    WriteRegInteger(this->Reg, path, u"A", 1);
    EXPECT_FALSE(this->KeyExists(reg::kLocalMachine, path));
}

TYPED_TEST(RegistryBehaviour, FacilityResultsMatchWindows)
{
    TRegKey key(this->Reg);
    ASSERT_EQ(this->Reg.CreateKey(this->Reg.Root(reg::kCurrentUser), TestKey("codes"),
                                  reg::kKeyAllAccess, key.Out()),
              reg::kSuccess);
    reg::Handle bad = 0;
    EXPECT_EQ(this->Reg.CreateKey(this->Reg.Root(reg::kCurrentUser), u"\\Software\\X",
                                  reg::kKeyAllAccess, bad),
              reg::kBadPathname);
    EXPECT_EQ(this->Reg.CreateKey(this->Reg.Root(0), u"Software\\X", reg::kKeyAllAccess, bad),
              reg::kInvalidHandle);
    EXPECT_EQ(bad, 0u);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(this->Reg.QueryValue(key.Get(), u"missing", &type, nullptr, &size),
              reg::kFileNotFound);
    EXPECT_EQ(this->Reg.DeleteValue(key.Get(), u"missing"), reg::kFileNotFound);
    const auto five = reg::DwordBytes(5);
    ASSERT_EQ(this->Reg.SetValue(key.Get(), u"Five", reg::kTypeDword, five.data(), 4),
              reg::kSuccess);
    std::uint8_t small[2];
    size = sizeof small;
    EXPECT_EQ(this->Reg.QueryValue(key.Get(), u"FIVE", &type, small, &size), reg::kMoreData);
    EXPECT_EQ(size, 4u);
    const std::uint8_t text[] = {'a', 0, 'b', 0, 0, 0};
    ASSERT_EQ(this->Reg.SetValue(key.Get(), u"Text", reg::kTypeSz, text, sizeof text),
              reg::kSuccess);
    size = 0;
    EXPECT_EQ(this->Reg.QueryValue(key.Get(), u"text", &type, nullptr, &size), reg::kSuccess);
    EXPECT_EQ(type, reg::kTypeSz);
    EXPECT_EQ(size, 6u);
}

TYPED_TEST(RegistryBehaviour, SettingsStoreRoundTripsAndRaisesOnWrongType)
{
    const auto product = u"TavrinoTest\\config_" + IntToText(GetCurrentProcessId());
    {
        TConfig config(this->Reg, product);
        config.WriteInteger(u"status", 1);
        config.WriteBoolean(u"tcpnodelay", false);
        config.WriteString(u"name", u"실행");
    }
    TConfig config(this->Reg, product);
    EXPECT_EQ(config.ReadInteger(u"status", 0), 1);
    EXPECT_FALSE(config.ReadBoolean(u"tcpnodelay", true));
    EXPECT_EQ(config.ReadString(u"name", u""), u"실행");
    EXPECT_TRUE(config.ReadBoolean(u"absent", true));
    EXPECT_THROW(config.ReadInteger(u"name", 0), EAppError);
}

// A 32-bit process on 64-bit Windows must write HKLM\SOFTWARE values into the 64-bit view,
// where 64-bit system components read them, and not under Wow6432Node. Only such a process
// can show it, so this runs where the 32-bit build runs on 64-bit Windows. The keys are ones
// that Wine does not link between the views (it links Wow6432Node\Microsoft\MSMQ\Parameters to
// the 64-bit key, so that one cannot tell them apart): a test key of its own, and the
// multimedia scheduler's key that the program writes.
TEST(RegistryView, ThirtyTwoBitProgramWritesTheSixtyFourBitView)
{
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64)
        GTEST_SKIP() << "only a 32-bit process on 64-bit Windows has a redirected view";
    const std::u16string profile =
        u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Multimedia\\SystemProfile";
    const std::u16string value = u"TavrinoViewTest" +
                                 IntToText(static_cast<std::int64_t>(GetCurrentProcessId()));
    for (const auto& path : {TestKey("view"), profile}) {
        SCOPED_TRACE(Utf16ToUtf8(path));
        TWinRegistry registry;
        WriteRegInteger(registry, u"HKEY_LOCAL_MACHINE\\" + path, value, 20);
        const auto read = [&](REGSAM view) -> std::optional<DWORD> {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(path.c_str()),
                              0, KEY_READ | view, &key) != ERROR_SUCCESS)
                return {};
            DWORD data = 0, size = sizeof data, type = 0;
            const LONG rc = RegQueryValueExW(key, reinterpret_cast<const wchar_t*>(value.c_str()),
                                             nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
            RegCloseKey(key);
            if (rc != ERROR_SUCCESS || type != REG_DWORD) return {};
            return data;
        };
        EXPECT_EQ(read(KEY_WOW64_64KEY), std::optional<DWORD>(20));
        EXPECT_EQ(read(KEY_WOW64_32KEY), std::nullopt);
        DeleteRegValue(registry, u"HKEY_LOCAL_MACHINE\\" + path, value);
    }
}

// Writes the values that registry_outside.sh then reads with reg.exe, from outside this program.
TEST(RegistryOutside, WriteValuesForOutsideCheck)
{
    if (!GetEnvironmentVariableW(L"TAVRINO_OUTSIDE_CHECK", nullptr, 0))
        GTEST_SKIP() << "run by registry_outside.sh";
    TWinRegistry registry;
    const std::u16string key = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\TavrinoOutside";
    WriteRegInteger(registry, key, u"MinusOne", -1);
    WriteRegInteger(registry, key, u"Twenty", 20);
    WriteRegInteger(registry, key, u"Gone", 1);
    DeleteRegValue(registry, key, u"Gone");
    TConfig config(registry, u"TavrinoOutside");
    config.WriteBoolean(u"tcpnodelay", true);
    config.WriteInteger(u"status", 0);
    config.WriteString(u"text", u"Run");
}
}  // namespace
