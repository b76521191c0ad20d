#include "system/Http_win.h"

#include <windows.h>
#include <winhttp.h>

#include "BuildConfig.h"
#include "common/WinText_win.h"
#include "system/HttpProxy.h"
#include "system/HttpText.h"

namespace {
constexpr int kTimeoutMs = 60 * 1000;

class THandle {
public:
    explicit THandle(HINTERNET handle) : FHandle(handle) {}
    ~THandle()
    {
        if (FHandle) WinHttpCloseHandle(FHandle);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HINTERNET Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }

private:
    HINTERNET FHandle;
};

std::u16string ContentType(HINTERNET request)
{
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                        WINHTTP_NO_OUTPUT_BUFFER, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                             text.data(), &size, WINHTTP_NO_HEADER_INDEX))
        return {};
    return FromW(text.c_str(), size / sizeof(wchar_t));
}

// The length that the response declares, if it declares one (capped just past kHttpBodyCap).
std::optional<std::size_t> DeclaredLength(HINTERNET request)
{
    wchar_t text[32];
    DWORD size = sizeof(text);
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX))
        return std::nullopt;
    std::size_t length = 0;
    const wchar_t* c = text;
    for (; *c >= L'0' && *c <= L'9'; ++c)
        if (length <= kHttpBodyCap) length = length * 10 + static_cast<std::size_t>(*c - L'0');
    if (c == text || *c != L'\0') return std::nullopt;
    return length;
}

// A text that WinHTTP allocated for the caller, taken and freed.
std::u16string TakeGlobalText(LPWSTR text)
{
    if (!text) return {};
    std::u16string result = FromW(text);
    GlobalFree(text);
    return result;
}

// The user's Internet Options, or nothing when they cannot be read.
std::optional<TUserProxySettings> UserProxySettings()
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config = {};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return std::nullopt;
    TUserProxySettings settings;
    settings.AutoDetect = config.fAutoDetect != FALSE;
    settings.ScriptUrl = TakeGlobalText(config.lpszAutoConfigUrl);
    settings.Proxy = TakeGlobalText(config.lpszProxy);
    settings.Bypass = TakeGlobalText(config.lpszProxyBypass);
    return settings;
}

// Automatic detection and the configuration script for url, run by WinHTTP in a session of
// their own within the usual time-outs (the options: AutoProxyOptions). Without WinHTTP's
// proxy service, which runs the script, nothing is found.
std::optional<TProxyRoute> AutoProxy(const wchar_t* agent, const std::u16string& url, bool detect,
                                     const std::u16string& scriptUrl)
{
    const THandle session(WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                      WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session || !WinHttpSetTimeouts(session.Get(), 0, kTimeoutMs, kTimeoutMs, kTimeoutMs))
        return std::nullopt;
    WINHTTP_AUTOPROXY_OPTIONS options = AutoProxyOptions(detect, scriptUrl);
    WINHTTP_PROXY_INFO info = {};
    if (!WinHttpGetProxyForUrl(session.Get(), WStr(url), &options, &info)) return std::nullopt;
    TProxyRoute route;
    route.Proxy = TakeGlobalText(info.lpszProxy);
    route.Bypass = TakeGlobalText(info.lpszProxyBypass);
    route.Kind = info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY ? TProxyRoute::TKind::Named
                                                                      : TProxyRoute::TKind::Direct;
    return route;
}

// The session of one request, going by route.
HINTERNET OpenSession(const wchar_t* agent, const TProxyRoute& route)
{
    switch (route.Kind) {
    case TProxyRoute::TKind::Named:
        return WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, WStr(route.Proxy),
                           route.Bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : WStr(route.Bypass), 0);
    case TProxyRoute::TKind::Direct:
        return WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0);
    case TProxyRoute::TKind::MachineSetting:
        break;
    }
    return WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                       WINHTTP_NO_PROXY_BYPASS, 0);
}

// The whole body, or nothing when the transfer broke or the body grew past the cap.
std::optional<std::string> ReadBody(HINTERNET request)
{
    std::string body;
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!WinHttpReadData(request, chunk, sizeof(chunk), &read)) return std::nullopt;
        if (read == 0) return body;
        if (body.size() + read > kHttpBodyCap) return std::nullopt;
        body.append(chunk, read);
    }
}
}  // namespace

std::optional<std::u16string> TWinHttp::Get(const std::u16string& url,
                                            const std::vector<THttpHeader>& headers,
                                            TBodyDecoding decoding)
{
    for (const THttpHeader& header : headers)
        if (!IsSendableHeader(header)) return std::nullopt;

    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(WStr(url), 0, 0, &parts)) return std::nullopt;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return std::nullopt;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (const std::size_t hash = path.find(L'#'); hash != std::wstring::npos) path.resize(hash);
    if (path.empty()) path = L"/";

    const std::u16string agent = std::u16string(u"Tavrino/") + kProgramVersion;
    const TProxyRoute route = ChooseProxyRoute(
        UserProxySettings(), [&](bool detect, const std::u16string& scriptUrl) {
            return FAutoProxyMemo.Get(url, detect, scriptUrl, GetTickCount64(),
                                     [&](bool d, const std::u16string& s) { return AutoProxy(WStr(agent), url, d, s); });
        });
    HINTERNET opened = OpenSession(WStr(agent), route);
    // A proxy setting that WinHTTP refuses leaves the machine-wide one.
    if (!opened && route.Kind != TProxyRoute::TKind::MachineSetting)
        opened = OpenSession(WStr(agent), {});
    const THandle session(opened);
    if (!session) return std::nullopt;
    if (!WinHttpSetTimeouts(session.Get(), 0, kTimeoutMs, kTimeoutMs, kTimeoutMs)) return std::nullopt;
    const THandle connection(WinHttpConnect(session.Get(), host.c_str(), parts.nPort, 0));
    if (!connection) return std::nullopt;
    // Certificate checks stay as WinHTTP has them: no security flag is ever relaxed.
    const THandle request(WinHttpOpenRequest(
        connection.Get(), L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
        WINHTTP_DEFAULT_ACCEPT_TYPES, parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request) return std::nullopt;
    for (const THttpHeader& header : headers) {
        const std::u16string line = HeaderLine(header);
        if (!WinHttpAddRequestHeaders(request.Get(), WStr(line), static_cast<DWORD>(-1),
                                      WINHTTP_ADDREQ_FLAG_ADD))
            return std::nullopt;
    }
    if (!WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                            WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.Get(), nullptr))
        return std::nullopt;
    // A body declared too long is not read at all; one that ends short of its declared
    // length is a broken transfer.
    const std::optional<std::size_t> declared = DeclaredLength(request.Get());
    if (declared && *declared > kHttpBodyCap) return std::nullopt;
    const std::optional<std::string> body = ReadBody(request.Get());
    if (!body || (declared && body->size() != *declared)) return std::nullopt;
    return DecodeBody(*body, ContentType(request.Get()), decoding);
}

WINHTTP_AUTOPROXY_OPTIONS AutoProxyOptions(bool detect, const std::u16string& scriptUrl)
{
    WINHTTP_AUTOPROXY_OPTIONS options = {};
    // A script from the network is code: the elevated process never runs it itself.
    options.dwFlags = WINHTTP_AUTOPROXY_RUN_OUTPROCESS_ONLY;
    options.fAutoLogonIfChallenged = FALSE;
    if (detect) {
        options.dwFlags |= WINHTTP_AUTOPROXY_AUTO_DETECT;
        options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
    }
    if (!scriptUrl.empty()) {
        options.dwFlags |= WINHTTP_AUTOPROXY_CONFIG_URL;
        options.lpszAutoConfigUrl = WStr(scriptUrl);
    }
    return options;
}
