// The WinHTTP client and the public address probe against a server that the test starts on
// 127.0.0.1: headers in order, path and query, the body decoded by the declared charset or as
// UTF-8, status codes not examined, refused connections, broken transfers and the body cap.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <winhttp.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "system/Http_win.h"
#include "system/NetworkService_win.h"

namespace {
std::string Response(const std::string& status, const std::string& contentType, const std::string& body)
{
    std::string head = "HTTP/1.1 " + status + "\r\n";
    if (!contentType.empty()) head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    return head + body;
}

// Binds the socket to an ephemeral port of 127.0.0.1 and returns that port.
unsigned short BindLoopback(SOCKET s)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// A one-connection-at-a-time HTTP server on an ephemeral loopback port. The handler turns the
// request head into the raw bytes to send back; the connection is closed after them.
class TLoopbackServer {
public:
    using THandler = std::function<std::string(const std::string& head)>;

    explicit TLoopbackServer(THandler handler) : FHandler(std::move(handler))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        FPort = BindLoopback(FListener);
        listen(FListener, 4);
        FThread = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer()
    {
        closesocket(FListener);
        FThread.join();
        WSACleanup();
    }

    std::u16string Url(const std::string& path, const std::string& scheme = "http") const
    {
        const std::string url = scheme + "://127.0.0.1:" + std::to_string(FPort) + path;
        return std::u16string(url.begin(), url.end());
    }
    std::vector<std::string> Heads()
    {
        std::lock_guard<std::mutex> lock(FMutex);
        return FHeads;
    }

private:
    void Serve()
    {
        for (;;) {
            const SOCKET client = accept(FListener, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
                const int n = recv(client, buffer, sizeof(buffer), 0);
                if (n <= 0) break;
                head.append(buffer, n);
                // Not HTTP (a TLS handshake, say): hang up rather than wait for more.
                if (!head.empty() && !(head[0] >= 'A' && head[0] <= 'Z')) break;
            }
            if (head.find("\r\n\r\n") != std::string::npos) {
                {
                    std::lock_guard<std::mutex> lock(FMutex);
                    FHeads.push_back(head);
                }
                const std::string answer = FHandler(head);
                for (std::size_t sent = 0; sent < answer.size();) {
                    const int n = send(client, answer.data() + sent,
                                       static_cast<int>(std::min<std::size_t>(answer.size() - sent, 65536)), 0);
                    if (n <= 0) break;
                    sent += static_cast<std::size_t>(n);
                }
            }
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    THandler FHandler;
    SOCKET FListener = INVALID_SOCKET;
    unsigned short FPort = 0;
    std::thread FThread;
    std::mutex FMutex;
    std::vector<std::string> FHeads;
};

// A loopback port that nothing listens on.
std::u16string RefusedUrl(const char16_t* path)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const unsigned short port = BindLoopback(s);
    closesocket(s);
    WSACleanup();
    const std::string url = "http://127.0.0.1:" + std::to_string(port);
    return std::u16string(url.begin(), url.end()) + path;
}

std::string RequestPath(const std::string& head)
{
    const std::size_t start = head.find(' ') + 1;
    return head.substr(start, head.find(' ', start) - start);
}

TEST(WinHttpTest, SendsPathQueryAndHeadersInOrder)
{
    TLoopbackServer server([](const std::string&) { return Response("200 OK", "text/plain", "fine"); });
    TWinHttp http;
    const auto body = http.Get(server.Url("/api.init.php?a=1&b=two"),
                               {{u"User-Version", u"1.5.6.0"}, {u"User-Language", u"ko"},
                                {u"User-Debug", u"0"}, {u"User-Union", u""}},
                               TBodyDecoding::Utf8);
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(*body, u"fine");
    const auto heads = server.Heads();
    ASSERT_EQ(heads.size(), 1u);
    const std::string& head = heads[0];
    EXPECT_EQ(head.rfind("GET /api.init.php?a=1&b=two HTTP/1.1\r\n", 0), 0u) << head;
    const std::size_t version = head.find("\r\nUser-Version: 1.5.6.0\r\n");
    const std::size_t language = head.find("\r\nUser-Language: ko\r\n");
    const std::size_t debug = head.find("\r\nUser-Debug: 0\r\n");
    const std::size_t unionHeader = head.find("\r\nUser-Union:");
    ASSERT_NE(version, std::string::npos) << head;
    ASSERT_NE(language, std::string::npos) << head;
    ASSERT_NE(debug, std::string::npos) << head;
    ASSERT_NE(unionHeader, std::string::npos) << head;
    EXPECT_LT(version, language);
    EXPECT_LT(language, debug);
    EXPECT_LT(debug, unionHeader);
}

TEST(WinHttpTest, UnsendableHeaderFailsWithoutRequest)
{
    TLoopbackServer server([](const std::string&) { return Response("200 OK", "", "x"); });
    TWinHttp http;
    EXPECT_FALSE(http.Get(server.Url("/"), {{u"User-Union", u"a\r\nHost: elsewhere"}},
                          TBodyDecoding::Utf8));
    EXPECT_TRUE(server.Heads().empty());
}

struct DecodingCase {
    const char* ContentType;
    const char* Bytes;
    TBodyDecoding Decoding;
    std::u16string Text;
};

class WinHttpDecodingTest : public ::testing::TestWithParam<DecodingCase> {};

TEST_P(WinHttpDecodingTest, BodyDecodedAsAsked)
{
    const DecodingCase c = GetParam();
    TLoopbackServer server([&](const std::string&) { return Response("200 OK", c.ContentType, c.Bytes); });
    TWinHttp http;
    EXPECT_EQ(http.Get(server.Url("/"), {}, c.Decoding), std::optional<std::u16string>(c.Text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WinHttpDecodingTest,
    ::testing::Values(
        DecodingCase{"text/plain; charset=ISO-8859-1", "caf\xE9", TBodyDecoding::DeclaredCharset, u"caf\xE9"},
        DecodingCase{"text/plain; charset=ISO-8859-1", "caf\xE9", TBodyDecoding::Utf8, u"caf\xFFFD"},
        DecodingCase{"application/json", "{\"t\":\"\xED\x95\x9C\"}", TBodyDecoding::DeclaredCharset,
                     u"{\"t\":\"\xD55C\"}"},
        DecodingCase{"", "\xED\x95\x9C", TBodyDecoding::DeclaredCharset, u"\xD55C"}));

TEST(WinHttpTest, StatusCodeIsNotExamined)
{
    TLoopbackServer server([](const std::string& head) {
        return RequestPath(head) == "/gone" ? Response("404 Not Found", "text/html", "<h1>missing</h1>")
                                            : Response("500 Internal Server Error", "text/plain", "");
    });
    TWinHttp http;
    EXPECT_EQ(http.Get(server.Url("/gone"), {}, TBodyDecoding::Utf8),
              std::optional<std::u16string>(u"<h1>missing</h1>"));
    EXPECT_EQ(http.Get(server.Url("/error"), {}, TBodyDecoding::Utf8), std::optional<std::u16string>(u""));
}

TEST(WinHttpTest, RefusedConnectionFailsAtOnce)
{
    TWinHttp http;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(http.Get(RefusedUrl(u"/myip"), {}, TBodyDecoding::Utf8).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(WinHttpTest, BrokenTransferFails)
{
    TLoopbackServer server([](const std::string&) {
        return std::string("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"ip\":\"1.2.3.4\"}");
    });
    TWinHttp http;
    EXPECT_FALSE(http.Get(server.Url("/"), {}, TBodyDecoding::Utf8).has_value());
}

TEST(WinHttpTest, NonHttpUrlsFail)
{
    TLoopbackServer server([](const std::string&) { return Response("200 OK", "", "x"); });
    TWinHttp http;
    for (const char16_t* url : {u"ftp://127.0.0.1/x", u"not a url", u""})
        EXPECT_FALSE(http.Get(url, {}, TBodyDecoding::Utf8).has_value());
    // An https address speaks TLS and does not fall back to plain HTTP.
    EXPECT_FALSE(http.Get(server.Url("/", "https"), {}, TBodyDecoding::Utf8).has_value());
    EXPECT_TRUE(server.Heads().empty());
}

// Bodies around the cap, with a declared length and without one (read until the close).
struct CapCase {
    std::size_t Size;
    bool Declared;
    bool Delivered;
};

class WinHttpCapTest : public ::testing::TestWithParam<CapCase> {};

TEST_P(WinHttpCapTest, BodyOverCapIsAFailedRequest)
{
    const CapCase c = GetParam();
    TLoopbackServer server([&](const std::string&) {
        const std::string body = "{\"ip\":\"1.2.3.4\"}" + std::string(c.Size - 16, 'x');
        if (c.Declared) return Response("200 OK", "application/json", body);
        return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" + body;
    });
    TWinHttp http;
    const auto body = http.Get(server.Url("/myip"), {}, TBodyDecoding::Utf8);
    ASSERT_EQ(body.has_value(), c.Delivered);
    if (body) {
        EXPECT_EQ(body->size(), c.Size);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, WinHttpCapTest,
                         ::testing::Values(CapCase{kHttpBodyCap, true, true},
                                           CapCase{kHttpBodyCap + 1, true, false},
                                           CapCase{kHttpBodyCap, false, true},
                                           CapCase{kHttpBodyCap + 1, false, false}));

// --- The probe over the real client ---------------------------------------------------

struct ProbeCase {
    const char* Path;
    bool Result;
};

class WinProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(WinProbeTest, TrueOnlyForQuotedIpKey)
{
    TLoopbackServer server([](const std::string& head) {
        const std::string path = RequestPath(head);
        if (path == "/ok") return Response("200 OK", "application/json", "{\"ip\":\"203.0.113.7\"}");
        if (path == "/404") return Response("404 Not Found", "text/html", "<p>no route; try \"ip\"</p>");
        if (path == "/caps") return Response("200 OK", "application/json", "{\"IP\":\"203.0.113.7\"}");
        if (path == "/ipv6") return Response("200 OK", "application/json", "{\"ipv6\":\"2001:db8::7\"}");
        if (path == "/big")
            return Response("200 OK", "application/json",
                            "{\"ip\":\"203.0.113.7\"}" + std::string(kHttpBodyCap, ' '));
        return Response("200 OK", "application/json", "");
    });
    TWinNetwork network(server.Url(GetParam().Path));
    EXPECT_EQ(network.ProbePublicIP(), GetParam().Result);
    EXPECT_EQ(server.Heads().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Table, WinProbeTest,
                         ::testing::Values(ProbeCase{"/ok", true}, ProbeCase{"/404", true},
                                           ProbeCase{"/caps", false}, ProbeCase{"/ipv6", false},
                                           ProbeCase{"/empty", false}, ProbeCase{"/big", false}));

TEST(WinProbeRefusedTest, FalseAtOnce)
{
    TWinNetwork network(RefusedUrl(u"/myip"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(network.ProbePublicIP());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}
// --- Certificates (http_tls.sh starts the server) ---------------------------------------

std::u16string EnvText(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::u16string(value, value + std::char_traits<char>::length(value)) : std::u16string();
}

// The status of a GET that waives every certificate check; 0 when it fails all the same.
DWORD StatusIgnoringCertificates(const std::u16string& url)
{
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    const std::wstring wide(url.begin(), url.end());
    if (!WinHttpCrackUrl(wide.c_str(), 0, 0, &parts)) return 0;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    const std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    DWORD status = 0;
    HINTERNET session = WinHttpOpen(L"test", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    HINTERNET connection = session ? WinHttpConnect(session, host.c_str(), parts.nPort, 0) : nullptr;
    HINTERNET request = connection ? WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                        WINHTTP_FLAG_SECURE)
                                   : nullptr;
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID |
                  SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_WRONG_USAGE;
    DWORD size = sizeof(status);
    if (request && WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags)) &&
        WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) &&
        WinHttpReceiveResponse(request, nullptr))
        WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    for (HINTERNET handle : {request, connection, session})
        if (handle) WinHttpCloseHandle(handle);
    return status;
}

TEST(WinHttpTlsTest, SelfSignedCertificateIsRefused)
{
    const std::u16string url = EnvText("TAVRINO_TLS_SELF_SIGNED");
    if (url.empty()) GTEST_SKIP() << "runs inside http_tls.sh";
    // The server speaks TLS and answers once its certificate is waived...
    ASSERT_EQ(StatusIgnoringCertificates(url), 200u);
    // ...but the program's client checks it.
    TWinHttp http;
    EXPECT_FALSE(http.Get(url, {}, TBodyDecoding::Utf8).has_value());
    TWinNetwork network(url);
    EXPECT_FALSE(network.ProbePublicIP());
}
}  // namespace

// The automatic proxy configuration never runs a script inside the (elevated) program and never
// offers the user's logon, whatever the settings ask for; detection and the script address
// are passed as the settings say.
TEST(WinHttpAutoProxyOptions, ScriptOnlyInTheProxyServiceAndNoLogon)
{
    const struct {
        bool Detect;
        std::u16string Script;
        DWORD Asked;
    } cases[] = {
        {true, u"", WINHTTP_AUTOPROXY_AUTO_DETECT},
        {false, u"http://wpad/proxy.pac", WINHTTP_AUTOPROXY_CONFIG_URL},
        {true, u"http://wpad/proxy.pac", WINHTTP_AUTOPROXY_AUTO_DETECT | WINHTTP_AUTOPROXY_CONFIG_URL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Asked);
        const WINHTTP_AUTOPROXY_OPTIONS options = AutoProxyOptions(c.Detect, c.Script);
        EXPECT_EQ(options.dwFlags, c.Asked | WINHTTP_AUTOPROXY_RUN_OUTPROCESS_ONLY);
        EXPECT_EQ(options.dwFlags & WINHTTP_AUTOPROXY_RUN_INPROCESS, 0u);
        EXPECT_FALSE(options.fAutoLogonIfChallenged);
        EXPECT_EQ(options.dwAutoDetectFlags,
                  c.Detect ? WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A : 0u);
        if (c.Script.empty()) {
            EXPECT_EQ(options.lpszAutoConfigUrl, nullptr);
        } else {
            ASSERT_NE(options.lpszAutoConfigUrl, nullptr);
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(options.lpszAutoConfigUrl)), c.Script);
        }
    }
}
