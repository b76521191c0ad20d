#include "system/Registry.h"

#include <array>

namespace {
const std::array<std::u16string_view, 7> kRootNames = {
    u"HKEY_CLASSES_ROOT",  u"HKEY_CURRENT_USER",     u"HKEY_LOCAL_MACHINE", u"HKEY_USERS",
    u"HKEY_PERFORMANCE_DATA", u"HKEY_CURRENT_CONFIG", u"HKEY_DYN_DATA",
};

// Opens the key that fullPath names, creating it unless the sub-path is empty.
bool OpenPathKey(IRegistry& registry, const std::u16string& fullPath, TRegKey& key)
{
    const TRegPath path = SplitRegPath(fullPath);
    const reg::Handle root = registry.Root(ParseRootKey(path.RootName));
    const long rc = path.SubPath.empty()
                        ? registry.OpenKey(root, path.SubPath, kRegPathAccess, key.Out())
                        : registry.CreateKey(root, path.SubPath, kRegPathAccess, key.Out());
    return rc == reg::kSuccess && key.IsOpen();
}
}  // namespace

std::uint32_t ParseRootKey(const std::u16string& rootName)
{
    for (std::size_t i = 0; i < kRootNames.size(); ++i)
        if (rootName == kRootNames[i]) return 0x80000000u + static_cast<std::uint32_t>(i);
    return 0;
}

TRegPath SplitRegPath(const std::u16string& fullPath)
{
    TRegPath path;
    const auto slash = fullPath.find(u'\\');
    if (slash == std::u16string::npos) {
        path.SubPath = fullPath;
    } else {
        path.RootName = fullPath.substr(0, slash);
        path.SubPath = fullPath.substr(slash + 1);
    }
    if (!path.SubPath.empty() && path.SubPath.front() == u'\\') path.SubPath.erase(0, 1);
    return path;
}

void WriteRegInteger(IRegistry& registry, const std::u16string& fullPath,
                     const std::u16string& valueName, std::int32_t value)
{
    try {
        TRegKey key(registry);
        if (!OpenPathKey(registry, fullPath, key)) return;
        const auto data = reg::DwordBytes(static_cast<std::uint32_t>(value));
        registry.SetValue(key.Get(), valueName, reg::kTypeDword, data.data(), data.size());
    } catch (...) {
        // Fire-and-forget: the caller cannot learn whether the registry changed.
    }
}

void DeleteRegValue(IRegistry& registry, const std::u16string& fullPath,
                    const std::u16string& valueName)
{
    try {
        TRegKey key(registry);
        if (!OpenPathKey(registry, fullPath, key)) return;
        registry.DeleteValue(key.Get(), valueName);
    } catch (...) {
    }
}

bool RegKeyExists(IRegistry& registry, const std::u16string& fullPath)
{
    try {
        const TRegPath path = SplitRegPath(fullPath);
        TRegKey key(registry);
        return registry.OpenKey(registry.Root(ParseRootKey(path.RootName)), path.SubPath,
                                kRegPathAccess, key.Out()) == reg::kSuccess &&
               key.IsOpen();
    } catch (...) {
        return false;
    }
}
