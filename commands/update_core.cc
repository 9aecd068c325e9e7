// The update's two steps. A failure of either leaves the history untouched:
// nothing is written before the whole source is here and has been read.
#include "commands/update_core.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "history/draw_payouts.h"
#include "history/draw_table.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

std::u16string Utf16(const std::string& utf8) {
    std::u16string text;
    if (!Utf8ToUtf16(utf8, text)) text.assign(utf8.begin(), utf8.end());
    return text;
}

std::u16string DrawText(std::int32_t draw) { return u"第" + Utf16(std::to_string(draw)) + u"回"; }

// The history's highest draw and whether that draw's line carries payouts.
struct HistoryTop {
    bool read = false;
    std::int32_t highest = 0;
    bool paid = false;
};

HistoryTop TopOf(const std::string& path) {
    HistoryTop top;
    DrawTable table;
    if (LoadDrawTable(path, table) != 0) return top;
    top.read = true;
    if (table.numbers.empty()) return top;
    const auto highest = std::max_element(table.numbers.begin(), table.numbers.end());
    top.highest = *highest;
    std::vector<DrawPayouts> payouts;
    if (LoadDrawPayouts(path, payouts) != 0) return top;
    const auto index = static_cast<std::size_t>(highest - table.numbers.begin());
    top.paid = index < payouts.size() && payouts[index].Any();
    return top;
}

// version.json's latest_draw_no; 0 when it cannot be had.
std::int32_t LatestDraw(const UpdateRequest& request, const std::string& versionUrl) {
    FetchRequest fetch = request.net;
    fetch.url = versionUrl;
    fetch.maxBytes = std::uint64_t{64} * 1024;
    fetch.progress = nullptr;
    const FetchResult result = Fetch(fetch);
    if (result.status != FetchStatus::Ok) return 0;
    const nlohmann::json version = nlohmann::json::parse(result.body, nullptr, false);
    if (!version.is_object()) return 0;
    const auto latest = version.find("latest_draw_no");
    if (latest == version.end() || !latest->is_number_integer()) return 0;
    const auto value = latest->get<std::int64_t>();
    return value > 0 && value <= INT32_MAX ? static_cast<std::int32_t>(value) : 0;
}

// The whole of a source file, at most `limit` bytes.
bool ReadFileBytes(const std::string& path, std::uint64_t limit, std::string& bytes,
                   std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok) error = "not a regular file";
    char buffer[65536];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            ok = false;
        } else if (got == 0) {
            break;
        } else {
            bytes.append(buffer, static_cast<std::size_t>(got));
            if (bytes.size() > limit) {
                error = "too large";
                ok = false;
            }
        }
    }
    ::close(fd);
    return ok;
}

std::u16string TooLargeMessage(const std::string& source, std::uint64_t limit) {
    constexpr std::uint64_t kMiB = std::uint64_t{1024} * 1024;
    const std::u16string size = limit % kMiB == 0 ? Utf16(std::to_string(limit / kMiB)) + u" MiB "
                                                  : Utf16(std::to_string(limit)) + u" バイト";
    return u"取り込み元が大きすぎます: " + Utf16(source) + u"（" + size + u"を超えています）";
}

}  // namespace

std::string VersionUrlOf(const std::string& url) {
    if (!IsHttpUrl(url)) return {};
    const std::size_t slash = url.rfind('/');
    if (slash == std::string::npos) return {};
    const std::string name = url.substr(slash + 1);
    if (name != "numbers4_all_full.json" && name != "numbers4_all_min.json") return {};
    return url.substr(0, slash + 1) + "version.json";
}

std::u16string FetchFailureMessage(const std::string& url, const FetchResult& result) {
    std::u16string cause;
    switch (result.status) {
        case FetchStatus::Ok:
            return {};
        case FetchStatus::BadUrl:
            cause = u"URL の形ではありません";
            break;
        case FetchStatus::Resolve:
            cause = u"ホスト名が見つかりません";
            break;
        case FetchStatus::Connect:
            cause = u"接続できません";
            break;
        case FetchStatus::Timeout:
            cause = u"時間切れです";
            break;
        case FetchStatus::Tls:
            cause = u"TLS の接続または証明書の検証に失敗しました";
            break;
        case FetchStatus::HttpStatus:
            cause = u"サーバーの応答が HTTP " + Utf16(std::to_string(result.httpCode)) + u" です";
            break;
        case FetchStatus::Redirect:
            cause = u"https: 以外への転送か、5 回を超える転送です";
            break;
        case FetchStatus::TooLarge:
            cause = u"大きすぎます";
            break;
        case FetchStatus::Cancelled:
            cause = u"取り消しました";
            break;
        case FetchStatus::Transfer:
            cause = u"転送が途中で失敗しました";
            break;
    }
    if (!result.detail.empty() && result.status != FetchStatus::HttpStatus &&
        result.status != FetchStatus::Cancelled) {
        cause += u"（" + Utf16(result.detail) + u"）";
    }
    return u"最新の結果を取得できません: " + Utf16(url) + u": " + cause;
}

SourceBytes FetchUpdateSource(const UpdateRequest& request) noexcept {
    SourceBytes out;
    try {
        if (!IsHttpUrl(request.source)) {
            std::string error;
            if (!ReadFileBytes(request.source, request.net.maxBytes, out.bytes, error)) {
                out.bytes.clear();
                if (error == "too large") {
                    out.status = UpdateStatus::TooLarge;
                    out.message = TooLargeMessage(request.source, request.net.maxBytes);
                } else {
                    out.status = UpdateStatus::NoSource;
                    out.message = u"取り込み元を読めません: " + Utf16(request.source) + u"（" +
                                  Utf16(error) + u"）";
                }
            }
            return out;
        }
        if (const std::string versionUrl = VersionUrlOf(request.source); !versionUrl.empty()) {
            const HistoryTop top = TopOf(request.historyPath);
            if (top.read && top.highest > 0) {
                out.historyHighest = top.highest;
                out.latestDraw = LatestDraw(request, versionUrl);
                if (out.latestDraw > 0 && out.latestDraw <= top.highest && top.paid) {
                    out.status = UpdateStatus::UpToDate;
                    out.message = u"最新です: " + DrawText(top.highest);
                    return out;
                }
            }
        }
        FetchRequest fetch = request.net;
        fetch.url = request.source;
        FetchResult result = Fetch(fetch);
        if (result.status == FetchStatus::Ok) {
            out.bytes = std::move(result.body);
            return out;
        }
        out.status = result.status == FetchStatus::TooLarge    ? UpdateStatus::TooLarge
                     : result.status == FetchStatus::Cancelled ? UpdateStatus::Cancelled
                                                               : UpdateStatus::Unavailable;
        out.message = result.status == FetchStatus::TooLarge
                          ? TooLargeMessage(request.source, request.net.maxBytes)
                          : FetchFailureMessage(request.source, result);
    } catch (...) {
        out = SourceBytes{};
        out.status = UpdateStatus::Unavailable;
        out.message = u"最新の結果を取得できません: メモリーが足りません";
    }
    return out;
}

UpdateOutcome ImportUpdateSource(const UpdateRequest& request, std::string bytes) noexcept {
    UpdateOutcome out;
    try {
        ImportRequest import;
        import.historyPath = request.historyPath;
        import.keepMine = request.keepMine;
        import.dryRun = request.dryRun;
        import.wait = request.wait;
        // The rows give the source's newest draw for the report.
        import.wantRows = true;
        import.sources.push_back({request.source, std::move(bytes)});
        out.edit = ImportResults(std::move(import));
        for (const ImportRow& row : out.edit.rows) {
            out.sourceNewest = std::max(out.sourceNewest, row.number);
        }
        if (!request.wantRows) {
            out.edit.rows.clear();
            out.edit.rows.shrink_to_fit();
        }
        out.status = out.edit.status == EditStatus::Ok ? UpdateStatus::Ok : UpdateStatus::Edit;
        out.message = out.edit.message;
    } catch (...) {
        out = UpdateOutcome{};
        out.edit.status = EditStatus::WriteFailed;
        out.message = out.edit.message = u"履歴を更新できません: メモリーが足りません";
    }
    return out;
}

UpdateOutcome RunUpdate(const UpdateRequest& request) noexcept {
    SourceBytes source = FetchUpdateSource(request);
    if (source.status != UpdateStatus::Ok) {
        UpdateOutcome out;
        out.status = source.status;
        out.historyHighest = source.historyHighest;
        out.sourceNewest = source.latestDraw;
        try {
            out.message = std::move(source.message);
        } catch (...) {
        }
        return out;
    }
    UpdateOutcome out = ImportUpdateSource(request, std::move(source.bytes));
    out.historyHighest = source.historyHighest;
    return out;
}

}  // namespace corvalith
