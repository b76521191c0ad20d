// A test double of the HTTP client: answers from a script, one entry per request (the last one
// repeats), and records every request with its headers in order; OnRequest runs during each.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "system/Http.h"

class TFakeHttp final : public IHttp {
public:
    struct Request {
        std::u16string URL;
        std::vector<THttpHeader> Headers;
        TBodyDecoding Decoding;
    };
    std::vector<std::optional<std::u16string>> Answers;  // nullopt: the request fails
    std::vector<Request> Requests;
    std::function<void()> OnRequest;

    std::optional<std::u16string> Get(const std::u16string& url,
                                      const std::vector<THttpHeader>& headers,
                                      TBodyDecoding decoding) override
    {
        Requests.push_back({url, headers, decoding});
        if (OnRequest) OnRequest();
        if (Answers.empty()) return std::nullopt;
        const std::size_t i = Requests.size() - 1;
        return Answers[i < Answers.size() ? i : Answers.size() - 1];
    }
};
