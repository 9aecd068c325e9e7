// Fetch against the tests' own server on 127.0.0.1: one table of outcomes
// (every failure the download may meet, and the successes beside them), the
// request's headers, and cancellation of a body that hardly moves.
#include "net/http_fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "corvalith/version.h"
#include "tests/support/local_server.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::ClosedPort;
using testing::LocalServer;
using testing::TempDir;

constexpr char kBody[] = "回号,抽せん日,当せん番号\n";

struct Servers {
    TempDir root;
    TempDir certificates;
    std::string file = root.Write("small.txt", kBody);
    LocalServer http{root.path()};
    LocalServer https{root.path(), certificates.path()};
};

struct Case {
    const char* name;
    bool https;
    const char* path;  // "" with a port where nothing listens
    bool trustTestCa;
    std::uint64_t maxBytes;
    FetchStatus expected;
    long httpCode;
};

const Case kCases[] = {
    {"plain file", false, "/files/small.txt", false, 1024, FetchStatus::Ok, 200},
    {"verified file", true, "/files/small.txt", true, 1024, FetchStatus::Ok, 200},
    {"five https redirects", true, "/redirect/5/small.txt", true, 1024, FetchStatus::Ok, 200},
    {"six https redirects", true, "/redirect/6/small.txt", true, 1024, FetchStatus::Redirect, 302},
    {"redirect to http:", true, "/to-http/small.txt", true, 1024, FetchStatus::Redirect, 302},
    {"redirect over http:", false, "/redirect/1/small.txt", false, 1024, FetchStatus::Redirect,
     302},
    {"self-signed certificate", true, "/files/small.txt", false, 1024, FetchStatus::Tls, 0},
    {"not found", false, "/missing", false, 1024, FetchStatus::HttpStatus, 404},
    {"no connection", false, "", false, 1024, FetchStatus::Connect, 0},
    {"stalled body", false, "/drip", false, 1024, FetchStatus::Timeout, 200},
    {"too large, length unknown", false, "/big/5000", false, 1000, FetchStatus::TooLarge, 200},
    {"too large, length announced", false, "/announced/5000", false, 1000, FetchStatus::TooLarge,
     200},
    {"just at the limit", false, "/big/1000", false, 1000, FetchStatus::Ok, 200},
};

TEST(HttpFetch, EachOutcome) {
    Servers servers;
    ASSERT_TRUE(servers.http.ok());
    ASSERT_TRUE(servers.https.ok());
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        FetchRequest request;
        const LocalServer& server = c.https ? servers.https : servers.http;
        request.url = *c.path != '\0' ? server.Url(c.path)
                                      : "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
        if (c.trustTestCa) request.testCaFile = servers.https.CaFile();
        request.maxBytes = c.maxBytes;
        request.stallSeconds = 1;
        request.connectTimeoutMs = 2000;
        const FetchResult result = Fetch(request);
        EXPECT_EQ(result.status, c.expected) << result.detail;
        EXPECT_EQ(result.httpCode, c.httpCode);
        if (c.expected == FetchStatus::Ok) {
            EXPECT_EQ(result.body.size(), std::string(c.path).starts_with("/big/")
                                              ? std::size_t{1000}
                                              : std::string(kBody).size());
        } else {
            EXPECT_TRUE(result.body.empty());
            EXPECT_FALSE(result.detail.empty());
        }
    }
}

TEST(HttpFetch, OnlyHttpAndHttpsUrls) {
    for (const char* url : {"file:///etc/passwd", "ftp://127.0.0.1/", "/a/file", ""}) {
        FetchRequest request;
        request.url = url;
        EXPECT_EQ(Fetch(request).status, FetchStatus::BadUrl) << url;
    }
    EXPECT_TRUE(IsHttpUrl("HTTPS://example.org/"));
    EXPECT_FALSE(IsHttpUrl("https:/x"));
}

TEST(HttpFetch, SendsItsNameAndNoCookie) {
    TempDir root;
    LocalServer server(root.path());
    ASSERT_TRUE(server.ok());
    FetchRequest request;
    request.url = server.Url("/headers");
    const FetchResult result = Fetch(request);
    ASSERT_EQ(result.status, FetchStatus::Ok) << result.detail;
    EXPECT_NE(result.body.find(std::string("User-Agent: corvix/") + kVersion + "\n"),
              std::string::npos)
        << result.body;
    EXPECT_NE(result.body.find("Accept-Encoding: "), std::string::npos) << result.body;
    EXPECT_EQ(result.body.find("Cookie"), std::string::npos) << result.body;
    EXPECT_EQ(result.body.find("Referer"), std::string::npos) << result.body;
}

TEST(HttpFetch, CancelStopsAStalledBodyWithin200Ms) {
    TempDir root;
    LocalServer server(root.path());
    ASSERT_TRUE(server.ok());
    std::atomic<bool> cancel{false};
    std::atomic<bool> started{false};
    FetchRequest request;
    request.url = server.Url("/drip");
    request.cancel = &cancel;
    request.progress = [&started](std::uint64_t received, std::uint64_t) {
        if (received > 0) started = true;
        return true;
    };
    FetchResult result;
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread worker([&] { result = Fetch(request); });
    while (!started) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cancelledAt = std::chrono::steady_clock::now();
    cancel = true;
    worker.join();
    const auto took = std::chrono::steady_clock::now() - cancelledAt;
    EXPECT_EQ(result.status, FetchStatus::Cancelled);
    EXPECT_LT(took, std::chrono::milliseconds(200));
    EXPECT_TRUE(result.body.empty());
}

}  // namespace
}  // namespace corvalith
