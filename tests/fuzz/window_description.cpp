// The window description reader: any text either reads into a window description or raises
// EAppError (which names the line); nothing else escapes.
#include "FuzzInput.h"
#include "common/Error.h"
#include "toolkit/Description.h"
#include "toolkit/Resources.h"

namespace {
const char kImage[] =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\">"
    "<path d=\"M0 0L10 0L10 10Z\" fill=\"#3D84DD\"/></svg>";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = [] {
        SetResourceReader([](const std::u16string& name) -> std::string {
            if (name == u"LOGO") return kImage;
            throw EAppError(u"no resource " + name);
        });
        return true;
    }();
    (void)installed;

    const THandlerCheck handlers = [](const std::u16string& name) { return name != u"Missing"; };
    try {
        const TWindowDescription window = ReadDescription(FuzzBytes(data, size), handlers, 2);
        for (const TNode* node : AllNodes(window)) FUZZ_CHECK(!node->Name.empty());
    } catch (const EAppError& e) {
        FUZZ_CHECK(!e.Message().empty());
    }
    return 0;
}
