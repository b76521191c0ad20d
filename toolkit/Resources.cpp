#include "toolkit/Resources.h"

#include "common/Error.h"

namespace {
TResourceReader& Reader()
{
    static TResourceReader reader;
    return reader;
}
}  // namespace

void SetResourceReader(TResourceReader reader)
{
    Reader() = std::move(reader);
}

std::string ReadResource(const std::u16string& name)
{
    if (!Reader()) throw EAppError(u"No resources to read '" + name + u"' from");
    return Reader()(name);
}
