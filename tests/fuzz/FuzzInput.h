// What the fuzz targets share: the fuzzer's bytes as text the way the program receives outside
// text (UTF-8, decoded with U+FFFD for ill-formed sequences), split into fields, and a check
// that aborts with a message so that a broken property is reported as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/Text.h"

inline std::string_view FuzzBytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every byte 0x01 into at most count fields (the last takes the rest).
inline std::vector<std::u16string> FuzzFields(std::string_view bytes, std::size_t count)
{
    std::vector<std::u16string> fields;
    while (fields.size() + 1 < count) {
        const std::size_t cut = bytes.find('\x01');
        if (cut == std::string_view::npos) break;
        fields.push_back(Utf8ToUtf16(bytes.substr(0, cut)));
        bytes.remove_prefix(cut + 1);
    }
    fields.push_back(Utf8ToUtf16(bytes));
    fields.resize(count);
    return fields;
}

#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__,    \
                         #condition);                                                   \
            std::abort();                                                               \
        }                                                                               \
    } while (0)
