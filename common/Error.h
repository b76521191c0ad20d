// The one error type that the program raises: a message (UTF-16) that names the value or step.
#pragma once

#include <exception>
#include <string>

#include "common/Text.h"

class EAppError : public std::exception {
public:
    explicit EAppError(std::u16string message)
        : FMessage(std::move(message)), FWhat(Utf16ToUtf8(FMessage)) {}
    const std::u16string& Message() const noexcept { return FMessage; }
    // The message in UTF-8.
    const char* what() const noexcept override { return FWhat.c_str(); }

private:
    std::u16string FMessage;
    std::string FWhat;
};
