#include "support/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/Text.h"

namespace {
bool IsPredefined(reg::Handle handle) { return handle >= 0x80000000u && handle <= 0x80000006u; }

const char* RootName(std::uint32_t root)
{
    static const char* names[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKPD", "HKCC", "HKDD"};
    return IsPredefined(root) ? names[root - 0x80000000u] : "?";
}
}  // namespace

reg::Handle TMemoryRegistry::Root(std::uint32_t predefined)
{
    return IsPredefined(predefined) ? predefined : 0;
}

std::optional<std::u16string> TMemoryRegistry::Normalise(const std::u16string& subKey, bool& bad)
{
    // Windows refuses a sub-key that begins with a backslash; empty components elsewhere and a
    // trailing backslash are passed over, as Wine does.
    bad = !subKey.empty() && subKey.front() == u'\\';
    if (bad) return std::nullopt;
    std::u16string path;
    std::u16string part;
    auto flush = [&] {
        if (part.empty()) return;
        if (!path.empty()) path.push_back(u'\\');
        path += AsciiLower(part);
        part.clear();
    };
    for (char16_t c : subKey) {
        if (c == u'\\') flush();
        else part.push_back(c);
    }
    flush();
    return path;
}

std::optional<TMemoryRegistry::KeyRef> TMemoryRegistry::Resolve(reg::Handle handle) const
{
    if (IsPredefined(handle)) return KeyRef{static_cast<std::uint32_t>(handle), u""};
    auto it = FHandles.find(handle);
    if (it == FHandles.end()) return std::nullopt;
    return it->second;
}

TMemoryRegistry::Key* TMemoryRegistry::Find(const KeyRef& ref)
{
    if (ref.Path.empty()) return &FKeys[{ref.Root, u""}];  // a root key always exists
    auto it = FKeys.find({ref.Root, ref.Path});
    return it == FKeys.end() ? nullptr : &it->second;
}

long TMemoryRegistry::Open(reg::Handle parent, const std::u16string& subKey, std::uint32_t access,
                           reg::Handle& key, bool create)
{
    key = 0;
    const auto base = Resolve(parent);
    if (!base) return reg::kInvalidHandle;
    bool bad = false;
    const auto sub = Normalise(subKey, bad);
    if (bad) return reg::kBadPathname;
    KeyRef ref = *base;
    if (!sub->empty()) ref.Path = ref.Path.empty() ? *sub : ref.Path + u"\\" + *sub;
    FOpens.push_back({ref.Root, ref.Path, access, create});
    if (auto refused = FRefusedRoots.find(ref.Root);
        refused != FRefusedRoots.end() && refused->second != 0)
        return refused->second;
    if (!Find(ref)) {
        if (!create) return reg::kFileNotFound;
        // Every missing key on the way is created.
        std::u16string prefix;
        for (std::size_t pos = 0; pos != std::u16string::npos;) {
            const auto next = ref.Path.find(u'\\', pos);
            prefix = ref.Path.substr(0, next);
            FKeys[{ref.Root, prefix}];
            pos = next == std::u16string::npos ? next : next + 1;
        }
    }
    key = FNextHandle++;
    FHandles[key] = ref;
    return reg::kSuccess;
}

long TMemoryRegistry::CreateKey(reg::Handle parent, const std::u16string& subKey,
                                std::uint32_t access, reg::Handle& key)
{
    return Open(parent, subKey, access, key, true);
}

long TMemoryRegistry::OpenKey(reg::Handle parent, const std::u16string& subKey,
                              std::uint32_t access, reg::Handle& key)
{
    return Open(parent, subKey, access, key, false);
}

long TMemoryRegistry::QueryValue(reg::Handle key, const std::u16string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size)
{
    const auto ref = Resolve(key);
    if (!ref) return reg::kInvalidHandle;
    Key* k = Find(*ref);
    if (!k) return reg::kFileNotFound;
    auto it = k->Values.find(AsciiLower(name));
    if (it == k->Values.end()) return reg::kFileNotFound;
    const Value& v = it->second;
    if (type) *type = v.Type;
    const auto needed = static_cast<std::uint32_t>(v.Data.size());
    if (!data) {
        if (size) *size = needed;
        return reg::kSuccess;
    }
    if (!size) return reg::kInvalidParameter;
    if (*size < needed) {
        *size = needed;
        return reg::kMoreData;
    }
    if (needed) std::memcpy(data, v.Data.data(), needed);
    *size = needed;
    return reg::kSuccess;
}

long TMemoryRegistry::SetValue(reg::Handle key, const std::u16string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size)
{
    const auto ref = Resolve(key);
    if (!ref) return reg::kInvalidHandle;
    if (FWriteError) return FWriteError;
    Key* k = Find(*ref);
    if (!k) return reg::kFileNotFound;
    Value& v = k->Values[AsciiLower(name)];
    if (v.Name.empty()) v.Name = name;
    v.Type = type;
    v.Data.assign(data, data + size);
    return reg::kSuccess;
}

long TMemoryRegistry::DeleteValue(reg::Handle key, const std::u16string& name)
{
    const auto ref = Resolve(key);
    if (!ref) return reg::kInvalidHandle;
    if (FWriteError) return FWriteError;
    Key* k = Find(*ref);
    if (!k) return reg::kFileNotFound;
    return k->Values.erase(AsciiLower(name)) ? reg::kSuccess : reg::kFileNotFound;
}

long TMemoryRegistry::CloseKey(reg::Handle key)
{
    if (IsPredefined(key)) return reg::kSuccess;
    return FHandles.erase(key) ? reg::kSuccess : reg::kInvalidHandle;
}

void TMemoryRegistry::Put(std::uint32_t root, const std::u16string& path,
                          const std::u16string& name, std::uint32_t type,
                          std::vector<std::uint8_t> data)
{
    reg::Handle key = 0;
    if (CreateKey(root, path, 0, key) != reg::kSuccess) return;
    FOpens.pop_back();  // set-up is not a call of the code under test
    SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
    CloseKey(key);
}

void TMemoryRegistry::PutDword(std::uint32_t root, const std::u16string& path,
                               const std::u16string& name, std::uint32_t value)
{
    const auto bytes = reg::DwordBytes(value);
    Put(root, path, name, reg::kTypeDword, {bytes.begin(), bytes.end()});
}

void TMemoryRegistry::PutString(std::uint32_t root, const std::u16string& path,
                                const std::u16string& name, const std::u16string& text)
{
    std::vector<std::uint8_t> data;
    for (char16_t c : text) {
        data.push_back(static_cast<std::uint8_t>(c));
        data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    data.insert(data.end(), {0, 0});
    Put(root, path, name, reg::kTypeSz, std::move(data));
}

std::optional<TMemoryRegistry::Value> TMemoryRegistry::Get(std::uint32_t root,
                                                          const std::u16string& path,
                                                          const std::u16string& name) const
{
    bool bad = false;
    const auto norm = Normalise(path, bad);
    if (bad) return std::nullopt;
    auto k = FKeys.find({root, *norm});
    if (k == FKeys.end()) return std::nullopt;
    auto v = k->second.Values.find(AsciiLower(name));
    if (v == k->second.Values.end()) return std::nullopt;
    return v->second;
}

std::optional<std::uint32_t> TMemoryRegistry::GetDword(std::uint32_t root,
                                                       const std::u16string& path,
                                                       const std::u16string& name) const
{
    const auto v = Get(root, path, name);
    if (!v || v->Type != reg::kTypeDword || v->Data.size() != 4) return std::nullopt;
    return reg::DwordFromBytes(v->Data.data());
}

bool TMemoryRegistry::KeyExists(std::uint32_t root, const std::u16string& path) const
{
    bool bad = false;
    const auto norm = Normalise(path, bad);
    return !bad && FKeys.count({root, *norm}) != 0;
}

std::vector<std::string> TMemoryRegistry::Dump() const
{
    std::vector<std::string> rows;
    for (const auto& [where, key] : FKeys) {
        for (const auto& [lower, value] : key.Values) {
            std::string row = std::string(RootName(where.first)) + "\\" + Utf16ToUtf8(where.second) +
                              "\\" + Utf16ToUtf8(value.Name) + "=" + std::to_string(value.Type) + ":";
            for (auto b : value.Data) {
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02x", b);
                row += hex;
            }
            rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}
