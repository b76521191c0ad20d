// An in-memory registry for the portable tests: values per root key, key path and name, with
// names compared without regard to ASCII letter case, missing keys created on opening, and the
// results and error codes that Windows (as seen under Wine) gives. It records the access mask
// of every open, counts open handles, and can be told to refuse access.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "system/RegistryFacility.h"

class TMemoryRegistry final : public IRegistry {
public:
    struct Value {
        std::u16string Name;  // as first written
        std::uint32_t Type = 0;
        std::vector<std::uint8_t> Data;
    };
    struct OpenCall {
        std::uint32_t Root = 0;
        std::u16string Path;
        std::uint32_t Access = 0;
        bool Create = false;
    };

    reg::Handle Root(std::uint32_t predefined) override;
    long CreateKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                   reg::Handle& key) override;
    long OpenKey(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                 reg::Handle& key) override;
    long QueryValue(reg::Handle key, const std::u16string& name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long SetValue(reg::Handle key, const std::u16string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long DeleteValue(reg::Handle key, const std::u16string& name) override;
    long CloseKey(reg::Handle key) override;

    // Test set-up and inspection, by root handle value and key path.
    void Put(std::uint32_t root, const std::u16string& path, const std::u16string& name,
             std::uint32_t type, std::vector<std::uint8_t> data);
    void PutDword(std::uint32_t root, const std::u16string& path, const std::u16string& name,
                  std::uint32_t value);
    void PutString(std::uint32_t root, const std::u16string& path, const std::u16string& name,
                   const std::u16string& text);
    std::optional<Value> Get(std::uint32_t root, const std::u16string& path,
                             const std::u16string& name) const;
    std::optional<std::uint32_t> GetDword(std::uint32_t root, const std::u16string& path,
                                          const std::u16string& name) const;
    bool KeyExists(std::uint32_t root, const std::u16string& path) const;
    // Every value, as "ROOT\path\name=type:hex", sorted: a whole-store snapshot to compare.
    std::vector<std::string> Dump() const;

    // Opening and creating keys under this root fail with code from now on (0 stops it).
    void RefuseOpen(std::uint32_t root, long code) { FRefusedRoots[root] = code; }
    // Every SetValue and DeleteValue fails with code from now on (0 stops it).
    void RefuseWrites(long code) { FWriteError = code; }

    const std::vector<OpenCall>& Opens() const { return FOpens; }
    std::size_t OpenHandles() const { return FHandles.size(); }

private:
    struct Key {
        std::map<std::u16string, Value> Values;  // by lower-case name
    };
    struct KeyRef {
        std::uint32_t Root = 0;
        std::u16string Path;  // lower case, components joined by one backslash
    };
    static std::optional<std::u16string> Normalise(const std::u16string& subKey, bool& bad);
    std::optional<KeyRef> Resolve(reg::Handle handle) const;
    Key* Find(const KeyRef& ref);
    long Open(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
              reg::Handle& key, bool create);

    std::map<std::pair<std::uint32_t, std::u16string>, Key> FKeys;
    std::map<reg::Handle, KeyRef> FHandles;
    std::map<std::uint32_t, long> FRefusedRoots;
    std::vector<OpenCall> FOpens;
    long FWriteError = 0;
    reg::Handle FNextHandle = 0x1000;
};
