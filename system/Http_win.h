// The HTTP client over WinHTTP: one GET per call with its own session, 60 seconds each for
// connecting, sending and receiving, certificate checks left on, the body capped while it is
// read. Each request goes through the proxy of the user's Internet Options (the fixed proxy,
// automatic detection or the configuration script: WinHttpGetIEProxyConfigForCurrentUser,
// WinHttpGetProxyForUrl), else by the machine-wide WinHTTP setting, else directly.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include <string>

#include "system/Http.h"
#include "system/HttpProxy.h"

// The options of WinHttpGetProxyForUrl for detection (when detect is true) and/or the script
// at scriptUrl (when not empty; the options point into it): the script runs only in WinHTTP's
// proxy service, never in this process, and no logon is offered to its server.
WINHTTP_AUTOPROXY_OPTIONS AutoProxyOptions(bool detect, const std::u16string& scriptUrl);

class TWinHttp final : public IHttp {
public:
    std::optional<std::u16string> Get(const std::u16string& url,
                                      const std::vector<THttpHeader>& headers,
                                      TBodyDecoding decoding) override;

private:
    // What detection and the script found, shared by the workers that make requests.
    TAutoProxyMemo FAutoProxyMemo;
};
