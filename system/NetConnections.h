// What the adapter restart uses of the Windows network-connections manager, as an interface:
// the module "netshell.dll" with its release function "NcFreeNetconProperties", the manager,
// its enumeration of connections, and of each connection its properties, Connect and
// Disconnect. Results are HRESULTs (0 is S_OK). The Windows implementation is over netcon.h
// (NetConnections_win.cpp); the tests use a scripted double.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace netcon {
inline constexpr long kOk = 0;
inline constexpr std::uint32_t kEnumDefault = 0;  // NCME_DEFAULT

// A GUID as its fields are laid out in memory.
struct TGuid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};
};

// A properties block handed out by GetProperties: only its GUID is read, and the block must
// go back to the module's release function.
struct TProperties {
    std::uintptr_t Block = 0;
    TGuid Guid;
};
}  // namespace netcon

// One connection; released when destroyed.
class INetconConnection {
public:
    virtual ~INetconConnection() = default;
    virtual long GetProperties(netcon::TProperties& properties) = 0;
    virtual long Connect() = 0;
    virtual long Disconnect() = 0;
};

// The enumeration of connections; released when destroyed.
class INetconEnum {
public:
    virtual ~INetconEnum() = default;
    // One connection; any result but kOk ends the enumeration.
    virtual long Next(std::unique_ptr<INetconConnection>& connection) = 0;
};

// The connections manager; released when destroyed.
class INetconManager {
public:
    virtual ~INetconManager() = default;
    virtual long EnumConnections(std::uint32_t flags, std::unique_ptr<INetconEnum>& list) = 0;
};

// The loaded module; unloaded when destroyed, which must come after every object it made.
class INetShellModule {
public:
    virtual ~INetShellModule() = default;
    // Looks up "NcFreeNetconProperties"; false when the module lacks it.
    virtual bool FindFreeProperties() = 0;
    // Releases a properties block with that function.
    virtual void FreeProperties(const netcon::TProperties& properties) = 0;
    // Creates the connections manager (CoCreateInstance of CLSID_ConnectionManager).
    virtual long CreateManager(std::unique_ptr<INetconManager>& manager) = 0;
};

class INetConnections {
public:
    virtual ~INetConnections() = default;
    // Loads "netshell.dll" from the system directory; null when it cannot be loaded.
    virtual std::unique_ptr<INetShellModule> LoadModule() = 0;
};
