// The proxy of an HTTP request, chosen from the user's Internet Options as Windows' own clients
// choose it: automatic detection and the configuration script first, then the fixed proxy with
// its bypass list; when the user names no proxy, the machine-wide WinHTTP setting, which
// without one is a direct connection. The Windows side (Http_win.cpp) reads the settings and
// runs the automatic configuration; the rules are here.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The user's Internet Options (the LAN settings of the current connection).
struct TUserProxySettings {
    bool AutoDetect = false;    // "Automatically detect settings"
    std::u16string ScriptUrl;   // "Use automatic configuration script", empty when off
    std::u16string Proxy;       // fixed proxy: "host:port" or "http=host:port;https=host:port"
    std::u16string Bypass;      // ";"-separated exceptions, "<local>" for names without a dot
};

struct TProxyRoute {
    enum class TKind {
        MachineSetting,  // as WinHTTP is set for the whole machine (direct when it is not)
        Direct,
        Named,  // through Proxy, except for the addresses that Bypass lists
    };
    TKind Kind = TKind::MachineSetting;
    std::u16string Proxy;
    std::u16string Bypass;

    bool operator==(const TProxyRoute&) const = default;
};

// Runs the automatic configuration for the request: detection (when detect is true) and/or
// the script at scriptUrl (when not empty). A Direct or Named route, or nothing when no script
// was found, fetched or run.
using TAutoProxy = std::function<std::optional<TProxyRoute>(bool detect, const std::u16string& scriptUrl)>;

// The route of one request. user is empty when the user's settings could not be read.
TProxyRoute ChooseProxyRoute(const std::optional<TUserProxySettings>& user, const TAutoProxy& autoProxy);

// The entries of a fixed proxy list that WinHTTP can use: plain "host:port" entries and those
// for http and https. Entries for other protocols (socks, ftp) are dropped; empty when none is
// left.
std::u16string UsableProxyList(const std::u16string& proxy);

// What the automatic configuration found for a request, kept for a while. Windows' WinHTTP
// keeps it itself; Wine's looks again every time (DHCP, the DNS names of "wpad", the script),
// which costs far more than the request. A request retried every second then looks once in
// kKeptMs. Only a route found is kept: after a look that found nothing (no network yet, a
// script server that did not answer) the next request looks again. Safe to use from several
// threads.
class TAutoProxyMemo {
public:
    static constexpr std::uint64_t kKeptMs = 2 * 60 * 1000;
    // The route that a lookup for the same url, detect and scriptUrl found less than kKeptMs
    // before now (milliseconds of a clock that never goes back); else lookup's, remembered
    // when it found one.
    std::optional<TProxyRoute> Get(const std::u16string& url, bool detect,
                                   const std::u16string& scriptUrl, std::uint64_t now,
                                   const TAutoProxy& lookup);

private:
    struct TEntry {
        std::u16string Url;
        bool Detect;
        std::u16string ScriptUrl;
        TProxyRoute Route;
        std::uint64_t At;
    };
    // Held for a scan of a few entries, by at most the two workers that make requests: a
    // lock that spins, yielding, and never fails. (std::mutex's lock may raise
    // std::system_error, which alone would bring a second string implementation into the exe.)
    class TSpinLock {
    public:
        void lock() noexcept;
        void unlock() noexcept { FHeld.clear(std::memory_order_release); }

    private:
        std::atomic_flag FHeld;  // clear (C++20)
    };
    TSpinLock FLock;
    std::vector<TEntry> FEntries;
};
