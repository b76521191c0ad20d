// The HTTP client: one GET with custom request headers (sent in the given order), the whole
// body as text. The status code is not examined. A transport failure, or a body larger than
// kHttpBodyCap, is a failed request. The Windows implementation is over WinHTTP
// (Http_win.cpp) with its 60-second time-outs and certificate checks left on, through the
// proxy that the user's Internet Options name (HttpProxy.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct THttpHeader {
    std::u16string Name;
    std::u16string Value;
};

enum class TBodyDecoding {
    DeclaredCharset,  // the character set that the response declares, UTF-8 when none
    Utf8,             // always UTF-8
};

// A broken or hostile server cannot make the program hold more than this.
inline constexpr std::size_t kHttpBodyCap = 4u * 1024u * 1024u;

class IHttp {
public:
    virtual ~IHttp() = default;
    // The body of a GET of url, or nothing when the request failed.
    virtual std::optional<std::u16string> Get(const std::u16string& url,
                                              const std::vector<THttpHeader>& headers,
                                              TBodyDecoding decoding) = 0;
};
