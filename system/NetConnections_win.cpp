#include "system/NetConnections_win.h"

#include <windows.h>
#include <netcon.h>

#include <cstring>

#include "system/ComPtr_win.h"

namespace {
// The identifiers as netshell.dll registers them; no import library carries them.
const CLSID kClsidConnectionManager = {
    0xBA126AD1, 0x2166, 0x11D1, {0xB1, 0xD0, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};
const IID kIidNetConnectionManager = {
    0xC08956A2, 0x1CD3, 0x11D1, {0xB1, 0xC5, 0x00, 0x80, 0x5F, 0xC1, 0x27, 0x0E}};

using TFreeProperties = decltype(&NcFreeNetconProperties);

class TConnection final : public INetconConnection {
public:
    explicit TConnection(TComPtr<INetConnection>& connection) : FConnection(std::move(connection)) {}
    long GetProperties(netcon::TProperties& properties) override
    {
        NETCON_PROPERTIES* block = nullptr;
        const HRESULT hr = FConnection->GetProperties(&block);
        if (hr != S_OK || !block) return hr != S_OK ? hr : E_POINTER;
        properties.Block = reinterpret_cast<std::uintptr_t>(block);
        properties.Guid.Data1 = block->guidId.Data1;
        properties.Guid.Data2 = block->guidId.Data2;
        properties.Guid.Data3 = block->guidId.Data3;
        std::memcpy(properties.Guid.Data4.data(), block->guidId.Data4, 8);
        return S_OK;
    }
    long Connect() override { return FConnection->Connect(); }
    long Disconnect() override { return FConnection->Disconnect(); }

private:
    TComPtr<INetConnection> FConnection;
};

class TConnectionEnum final : public INetconEnum {
public:
    explicit TConnectionEnum(TComPtr<IEnumNetConnection>& list) : FList(std::move(list)) {}
    long Next(std::unique_ptr<INetconConnection>& connection) override
    {
        TComPtr<INetConnection> next;
        ULONG fetched = 0;
        const HRESULT hr = FList->Next(1, next.Out(), &fetched);
        if (hr != S_OK) return hr;
        if (fetched != 1 || !next) return S_FALSE;
        connection = std::make_unique<TConnection>(next);
        return S_OK;
    }

private:
    TComPtr<IEnumNetConnection> FList;
};

class TManager final : public INetconManager {
public:
    explicit TManager(TComPtr<INetConnectionManager>& manager) : FManager(std::move(manager)) {}
    long EnumConnections(std::uint32_t flags, std::unique_ptr<INetconEnum>& list) override
    {
        TComPtr<IEnumNetConnection> items;
        const HRESULT hr =
            FManager->EnumConnections(static_cast<NETCONMGR_ENUM_FLAGS>(flags), items.Out());
        if (hr != S_OK) return hr;
        if (!items) return E_POINTER;
        list = std::make_unique<TConnectionEnum>(items);
        return S_OK;
    }

private:
    TComPtr<INetConnectionManager> FManager;
};

class TModule final : public INetShellModule {
public:
    explicit TModule(HMODULE module) : FModule(module) {}
    ~TModule() override { FreeLibrary(FModule); }
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    bool FindFreeProperties() override
    {
        const FARPROC proc = GetProcAddress(FModule, "NcFreeNetconProperties");
        FFree = reinterpret_cast<TFreeProperties>(reinterpret_cast<void*>(proc));
        return FFree != nullptr;
    }
    void FreeProperties(const netcon::TProperties& properties) override
    {
        if (FFree && properties.Block)
            FFree(reinterpret_cast<NETCON_PROPERTIES*>(properties.Block));
    }
    long CreateManager(std::unique_ptr<INetconManager>& manager) override
    {
        TComPtr<INetConnectionManager> created;
        const HRESULT hr = CoCreateInstance(kClsidConnectionManager, nullptr, CLSCTX_ALL,
                                            kIidNetConnectionManager, created.OutVoid());
        if (hr != S_OK) return hr;
        if (!created) return E_POINTER;
        manager = std::make_unique<TManager>(created);
        return S_OK;
    }

private:
    HMODULE FModule;
    TFreeProperties FFree = nullptr;
};
}  // namespace

std::unique_ptr<INetShellModule> TWinNetConnections::LoadModule()
{
    // The system directory only: an elevated program must not load a netshell.dll planted
    // beside it or in the current folder.
    const HMODULE module = LoadLibraryExW(L"netshell.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return std::make_unique<TModule>(module);
}
