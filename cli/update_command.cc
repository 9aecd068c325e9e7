// Arguments read by hand as the other history commands do: HISTORY and the
// switches; `--name value` and `--name=value` both; `--` ends the options.
// The report is the import's (text or JSON) under the source's lines.
#include "cli/update_command.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/cli_args.h"
#include "cli/cli_run.h"
#include "cli/history_commands.h"
#include "report/history_edit_report.h"
#include "report/json_parts.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

struct Arguments {
    std::vector<std::string> positional;
    std::optional<std::string> source;
    std::optional<std::string> wait;
    bool keepMine = false;
    bool dryRun = false;
    OutputFormat format = OutputFormat::Text;
};

std::optional<std::string> Parse(const std::vector<std::string>& args, Arguments& parsed) {
    bool options = true;
    bool seenFormat = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (!options || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const bool takesValue = name == "--source" || name == "--format" || name == kWaitOption;
        if (!takesValue && name != "--keep-mine" && name != "--dry-run") {
            return "unknown option: " + name;
        }
        std::string value;
        if (takesValue) {
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return "missing value for " + name;
            }
        } else if (equals != std::string::npos) {
            return name + " takes no value";
        }
        const bool twice = name == "--source"      ? parsed.source.has_value()
                           : name == kWaitOption   ? parsed.wait.has_value()
                           : name == "--format"    ? seenFormat
                           : name == "--keep-mine" ? parsed.keepMine
                                                   : parsed.dryRun;
        if (twice) return "option given twice: " + name;
        if (name == "--source") {
            if (value.empty()) return std::string("--source must name a URL or a file");
            parsed.source = value;
        } else if (name == kWaitOption) {
            parsed.wait = value;
        } else if (name == "--keep-mine") {
            parsed.keepMine = true;
        } else if (name == "--dry-run") {
            parsed.dryRun = true;
        } else if (value == "text" || value == "json") {
            seenFormat = true;
            parsed.format = value == "json" ? OutputFormat::Json : OutputFormat::Text;
        } else {
            return "--format must be text or json: " + value;
        }
    }
    if (parsed.positional.empty()) return std::string("missing HISTORY");
    if (parsed.positional.size() > 1) return "unexpected argument: " + parsed.positional[1];
    return std::nullopt;
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string text;
    if (!Utf8ToUtf16(utf8, text)) text.assign(utf8.begin(), utf8.end());
    return text;
}

std::u16string Draw(std::int32_t draw) {
    return draw > 0 ? u"第" + Utf16(std::to_string(draw)) + u"回" : std::u16string(u"不明");
}

// "取得中 RECEIVED / TOTAL バイト" on one line, once the download has run a
// second, at most ten times a second; erased when it ends.
class DownloadProgress {
  public:
    explicit DownloadProgress(std::ostream& err) : err_(err) {}
    ~DownloadProgress() {
        if (shown_) err_ << "\r\033[K" << std::flush;
    }
    DownloadProgress(const DownloadProgress&) = delete;
    DownloadProgress& operator=(const DownloadProgress&) = delete;

    bool operator()(std::uint64_t received, std::uint64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(100))
            return true;
        last_ = now;
        shown_ = true;
        err_ << "\r取得中 " << received;
        if (total > 0) err_ << " / " << total;
        err_ << " バイト\033[K" << std::flush;
        return true;
    }

  private:
    std::ostream& err_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
};

std::string TextReport(const UpdateOutcome& outcome, const std::string& source) {
    std::u16string text;
    if (outcome.status == UpdateStatus::UpToDate) return Utf16ToUtf8(outcome.message) + '\n';
    if (outcome.edit.dryRun) text += u"（試しただけで、書き込んでいません）\n";
    text += u"取得元: " + Utf16(source) + u"\n";
    text += u"取得元の最新: " + Draw(outcome.sourceNewest) + u"\n";
    text += ImportSummary(outcome.edit);
    return Utf16ToUtf8(text) + '\n';
}

std::string JsonReport(const UpdateOutcome& outcome, const std::string& source,
                       const std::string& history, bool dryRun) {
    using Json = nlohmann::ordered_json;
    Json object;
    if (outcome.status == UpdateStatus::UpToDate) {
        object = {{"format", 1},
                  {"command", "update"},
                  {"history", Utf16ToUtf8(PathFromFileSystem(history))},
                  {"dry_run", dryRun},
                  {"added", {{"count", 0}, {"first", nullptr}, {"last", nullptr}}},
                  {"unchanged", nullptr},
                  {"payouts_added", 0},
                  {"kept_mine", Json::array()},
                  {"highest", outcome.historyHighest},
                  {"gaps", Json::array()}};
    } else {
        object = Json::parse(HistoryEditJson(HistoryCommand::Import, outcome.edit, history));
        object["command"] = "update";
    }
    object["source"] = source;
    object["source_newest"] = outcome.sourceNewest > 0 ? Json(outcome.sourceNewest) : Json(nullptr);
    object["up_to_date"] = outcome.status == UpdateStatus::UpToDate;
    return Dump(object);
}

}  // namespace

bool IsUpdateCommand(const std::vector<std::string>& args) noexcept {
    return !args.empty() && args[0] == "update";
}

int ExitCodeFor(const UpdateOutcome& outcome) noexcept {
    switch (outcome.status) {
        case UpdateStatus::Ok:
        case UpdateStatus::UpToDate:
            return kExitOk;
        case UpdateStatus::Unavailable:
            return kExitUnavailable;
        case UpdateStatus::TooLarge:
            return kExitRefused;
        case UpdateStatus::NoSource:
            return kExitNoSource;
        case UpdateStatus::Cancelled:
            return kExitInternal;
        case UpdateStatus::Edit:
            return ExitCodeFor(outcome.edit.status);
    }
    return kExitInternal;
}

int RunUpdateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     bool showProgress, const FetchRequest& net) {
    Arguments arguments;
    if (const auto error = Parse(args, arguments)) {
        err << UsageErrorLines(args, *error);
        return kExitUsage;
    }
    std::chrono::milliseconds waitLimit = kDefaultLockWait;
    if (arguments.wait) {
        const auto parsed = ParseWaitSeconds(*arguments.wait);
        if (!parsed) {
            err << UsageErrorLines(args, BadWaitLine(*arguments.wait));
            return kExitUsage;
        }
        waitLimit = *parsed;
    }
    UpdateRequest request;
    request.historyPath = arguments.positional[0];
    if (arguments.source) request.source = *arguments.source;
    request.keepMine = arguments.keepMine;
    request.dryRun = arguments.dryRun;
    request.net = net;
    request.wait = LockWaitTellingOn(err, waitLimit);
    std::optional<DownloadProgress> progress;
    if (showProgress) {
        progress.emplace(err);
        request.net.progress = [&progress](std::uint64_t received, std::uint64_t total) {
            return (*progress)(received, total);
        };
    }
    const UpdateOutcome outcome = RunUpdate(request);
    progress.reset();
    if (outcome.status != UpdateStatus::Ok && outcome.status != UpdateStatus::UpToDate) {
        err << Utf16ToUtf8(outcome.message) << '\n';
        return ExitCodeFor(outcome);
    }
    out << (arguments.format == OutputFormat::Json
                ? JsonReport(outcome, request.source, request.historyPath, arguments.dryRun)
                : TextReport(outcome, request.source));
    return kExitOk;
}

}  // namespace corvalith
