// Splitting a full registry path and naming its root key: the parts put together give the
// path back, only an exact root name gives a handle, and writing or deleting through any path
// leaves no key open. Input: full path and value name, separated by a byte 0x01.
#include "FuzzInput.h"
#include "support/MemoryRegistry.h"
#include "system/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::u16string> fields = FuzzFields(FuzzBytes(data, size), 2);
    const std::u16string& fullPath = fields[0];
    const std::u16string& valueName = fields[1];

    const TRegPath path = SplitRegPath(fullPath);
    FUZZ_CHECK(path.RootName.find(u'\\') == std::u16string::npos);
    if (fullPath.find(u'\\') == std::u16string::npos) {
        FUZZ_CHECK(path.RootName.empty() && path.SubPath == fullPath);
    } else {
        const std::u16string single = path.RootName + u"\\" + path.SubPath;
        const std::u16string doubled = path.RootName + u"\\\\" + path.SubPath;
        FUZZ_CHECK(fullPath == single || fullPath == doubled);
    }

    const std::uint32_t root = ParseRootKey(path.RootName);
    FUZZ_CHECK(root == 0 || (root >= 0x80000000u && root <= 0x80000006u));
    if (root != 0) FUZZ_CHECK(path.RootName.size() >= 10 && StartsWith(path.RootName, u"HKEY_"));

    TMemoryRegistry registry;
    WriteRegInteger(registry, fullPath, valueName, -1);
    FUZZ_CHECK(registry.OpenHandles() == 0);
    if (root == 0) FUZZ_CHECK(registry.Dump().empty());
    DeleteRegValue(registry, fullPath, valueName);
    FUZZ_CHECK(registry.OpenHandles() == 0);
    return 0;
}
