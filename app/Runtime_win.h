// What the program asks of the C++ runtime it links in. The runtime's own error helpers
// (std::__throw_length_error and its kin) are replaced by ones that raise ERuntimeError, a
// small error type of the program's: libstdc++'s would build std::logic_error and its kin,
// which bring in the library's whole copy-on-write string. An error that nothing catches ends
// the program at once, without the runtime's console report. Linked into the exe and the Wine
// test program only; MSVC's runtime needs none of it.
#pragma once

#include <exception>

class ERuntimeError : public std::exception {
public:
    explicit ERuntimeError(const char* what) noexcept : FWhat(what) {}
    const char* what() const noexcept override { return FWhat; }

private:
    const char* FWhat;  // the runtime's messages are literals
};
