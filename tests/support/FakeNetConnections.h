// A scripted double of the network-connections manager: the connections with their GUIDs and
// results, and a failure switch for each step before them. It hands out numbered properties
// blocks and records which were released, logs Connect and Disconnect calls, and counts the
// objects still alive when the module is unloaded.
#pragma once

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "system/NetConnections.h"

class TFakeNetConnections final : public INetConnections {
public:
    struct TConnection {
        netcon::TGuid Guid;
        long PropertiesResult = netcon::kOk;
        long ConnectResult = netcon::kOk;
        long DisconnectResult = netcon::kOk;
    };

    static constexpr long kFail = static_cast<long>(0x80004005u);  // E_FAIL

    std::vector<TConnection> Connections;
    bool FailLoad = false;
    bool LackFreeProperties = false;
    long CreateManagerResult = netcon::kOk;
    long EnumResult = netcon::kOk;

    std::vector<std::string> Calls;       // "Connect 1", "Disconnect 0" (connection index)
    std::set<std::uintptr_t> Handed;      // properties blocks given out
    std::set<std::uintptr_t> Freed;       // properties blocks released
    std::size_t Fetched = 0;              // connections taken from enumerations
    int LiveObjects = 0;                  // manager, enumeration, connections
    int MaxLiveConnections = 0;
    int LiveConnections = 0;
    int LiveAtUnload = -1;
    bool Unloaded = false;
    std::uint32_t EnumFlags = 0xFFFFFFFFu;

    std::unique_ptr<INetShellModule> LoadModule() override
    {
        if (FailLoad) return nullptr;
        return std::make_unique<TModule>(*this);
    }

private:
    class TConnectionDouble final : public INetconConnection {
    public:
        TConnectionDouble(TFakeNetConnections& owner, std::size_t index) : FOwner(owner), FIndex(index)
        {
            ++FOwner.LiveObjects;
            FOwner.MaxLiveConnections = std::max(FOwner.MaxLiveConnections, ++FOwner.LiveConnections);
        }
        ~TConnectionDouble() override
        {
            --FOwner.LiveObjects;
            --FOwner.LiveConnections;
        }
        long GetProperties(netcon::TProperties& properties) override
        {
            const TConnection& c = FOwner.Connections[FIndex];
            if (c.PropertiesResult != netcon::kOk) return c.PropertiesResult;
            properties.Block = 1000 + FIndex;
            properties.Guid = c.Guid;
            FOwner.Handed.insert(properties.Block);
            return netcon::kOk;
        }
        long Connect() override
        {
            FOwner.Calls.push_back("Connect " + std::to_string(FIndex));
            return FOwner.Connections[FIndex].ConnectResult;
        }
        long Disconnect() override
        {
            FOwner.Calls.push_back("Disconnect " + std::to_string(FIndex));
            return FOwner.Connections[FIndex].DisconnectResult;
        }

    private:
        TFakeNetConnections& FOwner;
        std::size_t FIndex;
    };

    class TEnum final : public INetconEnum {
    public:
        explicit TEnum(TFakeNetConnections& owner) : FOwner(owner) { ++FOwner.LiveObjects; }
        ~TEnum() override { --FOwner.LiveObjects; }
        long Next(std::unique_ptr<INetconConnection>& connection) override
        {
            if (FNext >= FOwner.Connections.size()) return 1;  // S_FALSE
            ++FOwner.Fetched;
            connection = std::make_unique<TConnectionDouble>(FOwner, FNext++);
            return netcon::kOk;
        }

    private:
        TFakeNetConnections& FOwner;
        std::size_t FNext = 0;
    };

    class TManager final : public INetconManager {
    public:
        explicit TManager(TFakeNetConnections& owner) : FOwner(owner) { ++FOwner.LiveObjects; }
        ~TManager() override { --FOwner.LiveObjects; }
        long EnumConnections(std::uint32_t flags, std::unique_ptr<INetconEnum>& list) override
        {
            FOwner.EnumFlags = flags;
            if (FOwner.EnumResult != netcon::kOk) return FOwner.EnumResult;
            list = std::make_unique<TEnum>(FOwner);
            return netcon::kOk;
        }

    private:
        TFakeNetConnections& FOwner;
    };

    class TModule final : public INetShellModule {
    public:
        explicit TModule(TFakeNetConnections& owner) : FOwner(owner) {}
        ~TModule() override
        {
            FOwner.Unloaded = true;
            FOwner.LiveAtUnload = FOwner.LiveObjects;
        }
        bool FindFreeProperties() override { return !FOwner.LackFreeProperties; }
        void FreeProperties(const netcon::TProperties& properties) override
        {
            FOwner.Freed.insert(properties.Block);
        }
        long CreateManager(std::unique_ptr<INetconManager>& manager) override
        {
            if (FOwner.CreateManagerResult != netcon::kOk) return FOwner.CreateManagerResult;
            manager = std::make_unique<TManager>(FOwner);
            return netcon::kOk;
        }

    private:
        TFakeNetConnections& FOwner;
    };
};
