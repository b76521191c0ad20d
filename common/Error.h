// The one error type that the program raises: a message (UTF-16) that names the value or step.
#pragma once

#include <stdexcept>
#include <string>

#include "common/Text.h"

class EAppError : public std::runtime_error {
public:
    explicit EAppError(std::u16string message)
        : std::runtime_error(Utf16ToUtf8(message)), FMessage(std::move(message)) {}
    const std::u16string& Message() const noexcept { return FMessage; }

private:
    std::u16string FMessage;
};
