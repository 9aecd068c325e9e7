// Keeping the history current from where the results are published, without
// a window: the source (an http(s) URL or a file) is fetched, and imported
// with ImportResults in one safe write. Before the data set's full download
// its small version.json is asked whether anything is new. The window runs
// the two steps apart (download on a worker, preview, then import); the
// command line runs them together with RunUpdate.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "commands/history_edit.h"
#include "net/http_fetch.h"

namespace corvalith {

// The data set's full JSON, with version.json beside it.
inline constexpr char kDefaultUpdateSource[] =
    "https://numbers4-1d961.web.app/api/v1/numbers4_all_full.json";

enum class UpdateStatus {
    Ok,           // imported (or a dry run): see `edit`
    UpToDate,     // version.json has nothing above the history: nothing downloaded
    Unavailable,  // the network failed: no connection, timeout, TLS, HTTP ≥ 400, a redirect
    TooLarge,     // the body is over the limit
    NoSource,     // a source file cannot be read
    Cancelled,    // the caller's cancel flag
    Edit,         // the import refused or failed: `edit.status` says how
};

struct UpdateRequest {
    std::string historyPath;  // file-system bytes
    std::string source = kDefaultUpdateSource;
    bool keepMine = false;
    bool dryRun = false;
    bool wantRows = false;  // fill edit.rows (the window's preview)
    LockWait wait{};        // for another writer's lock
    // The network settings: timeouts, the size cap, the cancel flag and
    // progress; its url is set per request.
    FetchRequest net;
};

struct SourceBytes {
    UpdateStatus status = UpdateStatus::Ok;
    std::u16string message;       // failures and UpToDate: one line
    std::string bytes;            // the source when Ok
    std::int32_t latestDraw = 0;  // version.json's latest draw (0: not asked)
    std::int32_t historyHighest = 0;
};

struct UpdateOutcome {
    UpdateStatus status = UpdateStatus::Edit;
    std::u16string message;         // failures and UpToDate: one line
    EditOutcome edit;               // the import's outcome (Ok and Edit)
    std::int32_t sourceNewest = 0;  // the source's highest draw (0: unknown)
    std::int32_t historyHighest = 0;
};

// The file name of `url` replaced by "version.json"; empty when `url` is not
// one of the data set's JSON downloads (only those have one beside them).
[[nodiscard]] std::string VersionUrlOf(const std::string& url);

// Fetches (or reads) the source; for the data set's downloads, first checks
// version.json against the history (UpToDate when its latest draw is not
// above the history's highest and that draw has its payouts). Never throws.
[[nodiscard]] SourceBytes FetchUpdateSource(const UpdateRequest& request) noexcept;

// Imports fetched bytes as `request.source`. Never throws.
[[nodiscard]] UpdateOutcome ImportUpdateSource(const UpdateRequest& request,
                                               std::string bytes) noexcept;

// Both steps. Never throws.
[[nodiscard]] UpdateOutcome RunUpdate(const UpdateRequest& request) noexcept;

// The one line that says a download failed, naming the URL and the cause.
[[nodiscard]] std::u16string FetchFailureMessage(const std::string& url, const FetchResult& result);

}  // namespace corvalith
