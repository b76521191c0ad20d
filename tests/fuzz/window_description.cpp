// The window description reader: any text either builds a form or raises EAppError (which
// names the line); nothing else escapes, and the controls it made are freed with the form.
#include "FuzzInput.h"
#include "common/Error.h"
#include "toolkit/FormReader.h"
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

    int bound = 0;
    const TEventBinder events = [&](const std::u16string& name) -> TNotifyEvent {
        if (name == u"Missing") throw EAppError(u"no handler " + name);
        ++bound;
        return [](TComponent*) {};
    };
    TForm form(nullptr);
    try {
        ReadForm(form, FuzzBytes(data, size), events);
    } catch (const EAppError& e) {
        FUZZ_CHECK(!e.Message().empty());
    }
    return 0;
}
