// The guard around every handler that Windows calls (a window procedure, a hook, a timer, a
// hand-off to the UI thread): an error the handler raises goes to the program's unhandled-error
// handling and never into Windows. The program entry installs the handling (an error box);
// tests install their own.
#pragma once

#include <exception>
#include <functional>

#include "common/Error.h"

using TErrorHandler = std::function<void(const std::exception& E)>;

// The unhandled-error handling; without one, an error is dropped and the program goes on.
void SetErrorHandler(TErrorHandler handler);
const TErrorHandler& ErrorHandler();
// Hands the error to the handling. Never raises: an error of the handling itself is dropped.
void HandleError(const std::exception& e) noexcept;

// Runs proc; an error it raises goes to HandleError. False when it raised.
template <typename TProc>
bool RunHandler(TProc&& proc) noexcept
{
    try {
        proc();
        return true;
    } catch (const std::exception& e) {
        HandleError(e);
    } catch (...) {
        HandleError(EAppError(u"An unknown error occurred."));
    }
    return false;
}
