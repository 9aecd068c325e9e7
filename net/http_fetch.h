// One HTTP(S) download with libcurl: certificates checked against the
// system's store, redirects followed only to https: (at most five), the body
// capped while it streams, slow or stalled transfers aborted, the proxy taken
// from the environment, no cookies. The caller sees the body or one reason.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace corvalith {

enum class FetchStatus {
    Ok,
    BadUrl,      // not an http:// or https:// URL libcurl accepts
    Resolve,     // the host (or proxy) name does not resolve
    Connect,     // no connection to the host
    Timeout,     // the connection or the transfer took too long
    Tls,         // the TLS handshake or the certificate failed
    HttpStatus,  // the server answered with a status of 400 or more
    Redirect,    // too many redirects, or one to a refused protocol
    TooLarge,    // the body is over the limit
    Cancelled,   // the caller's cancel flag was set
    Transfer,    // the transfer broke off for another reason
};

// Bytes received so far and the total the server announced (0: unknown).
// Called on the downloading thread; returns false to cancel.
using FetchProgress = std::function<bool(std::uint64_t received, std::uint64_t total)>;

struct FetchRequest {
    std::string url;
    std::uint64_t maxBytes = 64ULL * 1024 * 1024;  // bytes; a larger body is refused
    long connectTimeoutMs = 15'000;
    // A transfer slower than 1 byte a second for this long is aborted.
    long stallSeconds = 30;
    // A CA bundle trusted instead of the system's store; only tests set it.
    std::string testCaFile;
    const std::atomic<bool>* cancel = nullptr;  // looked at every 50 ms or sooner
    FetchProgress progress;                     // may be empty
};

struct FetchResult {
    FetchStatus status = FetchStatus::Transfer;
    long httpCode = 0;         // the last response's status (0: none)
    std::string body;          // the whole body when Ok
    std::string detail;        // libcurl's own words on a failure (ASCII)
    std::string effectiveUrl;  // where the body came from after redirects
};

// Runs the request on the calling thread. Never throws (a failed allocation
// is a Transfer failure).
[[nodiscard]] FetchResult Fetch(const FetchRequest& request) noexcept;

// Whether `source` is an http:// or https:// URL (case-insensitive scheme).
[[nodiscard]] bool IsHttpUrl(const std::string& source) noexcept;

}  // namespace corvalith
