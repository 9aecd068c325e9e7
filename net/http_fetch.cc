// The easy handle is owned by one small guard; the write callback appends to
// the body and refuses it past the limit even when the server announced no
// length; the progress callback carries the caller's cancel flag, which the
// transfer loop also checks between short waits for the socket.
#include "net/http_fetch.h"

#include <curl/curl.h>

#include <atomic>
#include <cctype>
#include <memory>
#include <mutex>
#include <new>

#include "corvalith/version.h"

namespace corvalith {
namespace {

struct HandleDeleter {
    void operator()(CURL* handle) const noexcept { curl_easy_cleanup(handle); }
};
using Handle = std::unique_ptr<CURL, HandleDeleter>;

// How often a transfer waiting for bytes looks at the cancel flag: libcurl
// calls the progress callback only about every 200 ms to 1 s while nothing
// arrives.
constexpr int kCancelPollMs = 50;

// Runs `easy` to its end, or until `cancel` is seen set between the waits
// for the socket (then CURLE_ABORTED_BY_CALLBACK).
CURLcode PerformCancellable(CURL* easy, const std::atomic<bool>* cancel) noexcept {
    CURLM* multi = curl_multi_init();
    if (multi == nullptr) return CURLE_OUT_OF_MEMORY;
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        curl_multi_cleanup(multi);
        return CURLE_FAILED_INIT;
    }
    CURLcode code = CURLE_OK;
    int running = 1;
    while (running != 0) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) break;
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (curl_multi_poll(multi, nullptr, 0, kCancelPollMs, nullptr) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
    }
    if (running == 0) {
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                code = message->data.result;
            }
        }
    }
    curl_multi_remove_handle(multi, easy);
    curl_multi_cleanup(multi);
    return code;
}

struct Transfer {
    const FetchRequest* request = nullptr;
    std::string* body = nullptr;
    bool tooLarge = false;
    bool cancelled = false;
    bool allocationFailed = false;
};

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) noexcept {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body->size() + bytes > transfer->request->maxBytes) {
        transfer->tooLarge = true;
        return 0;  // libcurl stops with CURLE_WRITE_ERROR
    }
    try {
        transfer->body->append(data, bytes);
    } catch (...) {
        transfer->allocationFailed = true;
        return 0;
    }
    return bytes;
}

int OnProgress(void* user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) noexcept {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->request->cancel != nullptr &&
        transfer->request->cancel->load(std::memory_order_relaxed)) {
        transfer->cancelled = true;
        return 1;
    }
    if (transfer->request->progress) {
        bool go = true;
        try {
            go = transfer->request->progress(static_cast<std::uint64_t>(received),
                                             static_cast<std::uint64_t>(total));
        } catch (...) {
            go = false;
        }
        if (!go) {
            transfer->cancelled = true;
            return 1;
        }
    }
    return 0;
}

FetchStatus StatusOf(CURLcode code) noexcept {
    switch (code) {
        case CURLE_OK:
            return FetchStatus::Ok;
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_URL_MALFORMAT:
            return FetchStatus::BadUrl;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return FetchStatus::Resolve;
        case CURLE_COULDNT_CONNECT:
            return FetchStatus::Connect;
        case CURLE_OPERATION_TIMEDOUT:
            return FetchStatus::Timeout;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_USE_SSL_FAILED:
            return FetchStatus::Tls;
        case CURLE_HTTP_RETURNED_ERROR:
            return FetchStatus::HttpStatus;
        case CURLE_TOO_MANY_REDIRECTS:
            return FetchStatus::Redirect;
        case CURLE_FILESIZE_EXCEEDED:
            return FetchStatus::TooLarge;
        case CURLE_ABORTED_BY_CALLBACK:
            return FetchStatus::Cancelled;
        default:
            return FetchStatus::Transfer;
    }
}

bool GlobalInit() noexcept {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

const std::string& UserAgent() {
    static const std::string agent = std::string("corvix/") + kVersion;
    return agent;
}

}  // namespace

bool IsHttpUrl(const std::string& source) noexcept {
    const auto starts = [&source](const char* scheme) {
        std::size_t i = 0;
        for (; scheme[i] != '\0'; ++i) {
            if (i >= source.size() ||
                std::tolower(static_cast<unsigned char>(source[i])) != scheme[i]) {
                return false;
            }
        }
        return true;
    };
    return starts("http://") || starts("https://");
}

FetchResult Fetch(const FetchRequest& request) noexcept {
    FetchResult result;
    if (!IsHttpUrl(request.url)) {
        result.status = FetchStatus::BadUrl;
        result.detail = "not an http or https URL";
        return result;
    }
    if (!GlobalInit()) {
        result.detail = "libcurl could not start";
        return result;
    }
    const Handle handle(curl_easy_init());
    if (!handle) {
        result.detail = "libcurl could not start";
        return result;
    }
    CURL* curl = handle.get();
    Transfer transfer{&request, &result.body};
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    // Only the two schemes, and a redirect only ever to https:.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!request.testCaFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, request.testCaFile.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, request.stallSeconds);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // every encoding libcurl decodes
    curl_easy_setopt(curl, CURLOPT_USERAGENT, UserAgent().c_str());
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // safe on a worker thread
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    // No cookie engine is switched on, and no referer or other header is added.

    const CURLcode code = PerformCancellable(curl, request.cancel);
    if (code == CURLE_ABORTED_BY_CALLBACK && request.cancel != nullptr && request.cancel->load()) {
        transfer.cancelled = true;
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpCode);
    char* effective = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK &&
        effective != nullptr) {
        try {
            result.effectiveUrl = effective;
        } catch (...) {
        }
    }
    result.status = StatusOf(code);
    if (transfer.tooLarge) result.status = FetchStatus::TooLarge;
    if (transfer.cancelled) result.status = FetchStatus::Cancelled;
    if (transfer.allocationFailed) result.status = FetchStatus::Transfer;
    // A redirect to a refused scheme comes back as an unsupported protocol
    // once a redirect has been followed.
    long redirects = 0;
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &redirects);
    if (code == CURLE_UNSUPPORTED_PROTOCOL && redirects > 0) result.status = FetchStatus::Redirect;
    if (result.status != FetchStatus::Ok) {
        try {
            result.detail = error[0] != '\0' ? error : curl_easy_strerror(code);
            result.body.clear();
            result.body.shrink_to_fit();
        } catch (...) {
        }
    }
    return result;
}

}  // namespace corvalith
