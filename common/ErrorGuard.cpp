#include "common/ErrorGuard.h"

namespace {
TErrorHandler& Handler()
{
    static TErrorHandler handler;
    return handler;
}
}  // namespace

void SetErrorHandler(TErrorHandler handler)
{
    Handler() = std::move(handler);
}

const TErrorHandler& ErrorHandler()
{
    return Handler();
}

void HandleError(const std::exception& e) noexcept
{
    try {
        if (Handler()) Handler()(e);
    } catch (...) {
        // Reporting failed too: the program goes on.
    }
}
