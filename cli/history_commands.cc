// Arguments are read by hand: the commands take positional values (NUMBER,
// SOURCE...) and switches that the other commands' parser has no notion of.
// `--name value` and `--name=value` are both accepted; `--` ends the options.
#include "cli/history_commands.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>

#include "cli/check_command.h"
#include "cli/cli_args.h"
#include "cli/cli_run.h"
#include "commands/draw_input.h"
#include "commands/history_messages.h"
#include "history/draw_history.h"
#include "report/history_edit_report.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

struct Arguments {
    HistoryCommand command = HistoryCommand::Add;
    std::vector<std::string> positional;
    std::optional<std::string> draw;
    std::optional<std::string> date;
    std::optional<std::string> payouts;
    bool replace = false;
    bool allowGap = false;
    bool dryRun = false;
    bool keepMine = false;
    std::optional<std::string> wait;
    OutputFormat format = OutputFormat::Text;
};

struct OptionRule {
    const char* name;
    bool takesValue;
    bool add;
    bool import;
    bool init;
};
constexpr std::array<OptionRule, 9> kRules = {{
    {"--draw", true, true, false, false},
    {"--date", true, true, false, false},
    {"--payouts", true, true, false, false},
    {"--keep-mine", false, false, true, false},
    {"--replace", false, true, false, false},
    {"--allow-gap", false, true, true, false},
    {"--dry-run", false, true, true, false},
    {"--format", true, true, true, true},
    {kWaitOption, true, true, true, true},
}};

bool Allowed(const OptionRule& rule, HistoryCommand command) {
    return command == HistoryCommand::Add      ? rule.add
           : command == HistoryCommand::Import ? rule.import
                                               : rule.init;
}

// Parses `args`; an error line otherwise.
std::optional<std::string> Parse(const std::vector<std::string>& args, Arguments& parsed) {
    parsed.command = args[0] == "add"      ? HistoryCommand::Add
                     : args[0] == "import" ? HistoryCommand::Import
                                           : HistoryCommand::Init;
    std::vector<std::string> seen;
    bool options = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options && arg == "--") {
            options = false;
            continue;
        }
        if (!options || arg.size() < 2 || arg[0] != '-' || arg == "-") {
            parsed.positional.push_back(arg);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const auto rule = std::find_if(kRules.begin(), kRules.end(),
                                       [&name](const OptionRule& r) { return name == r.name; });
        if (rule == kRules.end() || !Allowed(*rule, parsed.command)) {
            return "unknown option: " + name;
        }
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
            return "option given twice: " + name;
        }
        seen.push_back(name);
        std::string value;
        if (rule->takesValue) {
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
        if (name == "--draw") {
            parsed.draw = value;
        } else if (name == "--date") {
            parsed.date = value;
        } else if (name == "--payouts") {
            parsed.payouts = value;
        } else if (name == "--keep-mine") {
            parsed.keepMine = true;
        } else if (name == "--replace") {
            parsed.replace = true;
        } else if (name == "--allow-gap") {
            parsed.allowGap = true;
        } else if (name == "--dry-run") {
            parsed.dryRun = true;
        } else if (name == kWaitOption) {
            parsed.wait = value;
        } else if (value == "text" || value == "json") {
            parsed.format = value == "json" ? OutputFormat::Json : OutputFormat::Text;
        } else {
            return "--format must be text or json: " + value;
        }
    }
    const std::size_t count = parsed.positional.size();
    switch (parsed.command) {
        case HistoryCommand::Add:
            if (count < 1) return std::string("missing HISTORY");
            if (count < 2) return std::string("missing NUMBER");
            if (count > 2) return "unexpected argument: " + parsed.positional[2];
            break;
        case HistoryCommand::Import:
            if (count < 1) return std::string("missing HISTORY");
            if (count < 2) return std::string("missing SOURCE");
            if (std::count(parsed.positional.begin() + 1, parsed.positional.end(), "-") > 1) {
                return std::string("standard input (-) given twice");
            }
            break;
        case HistoryCommand::Init:
            if (count < 1) return std::string("missing HISTORY");
            if (count > 1) return "unexpected argument: " + parsed.positional[1];
            break;
    }
    return std::nullopt;
}

std::optional<std::int32_t> DrawNumber(const std::string& text) {
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string text;
    if (!Utf8ToUtf16(utf8, text)) text.assign(utf8.begin(), utf8.end());
    return text;
}

// The whole of a source, at most one byte past the reader's file limit.
std::optional<std::string> ReadSourceFile(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = "not a regular file";
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = std::strerror(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > kHistoryLimits.maxFileBytes) {
            error = "larger than 512 MiB";
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return bytes;
}

std::optional<std::string> ReadStandardInput(std::istream& in, std::string& error) {
    std::string bytes;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kHistoryLimits.maxFileBytes) {
            error = "larger than 512 MiB";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = "read error";
        return std::nullopt;
    }
    return bytes;
}

int Report(HistoryCommand command, const EditOutcome& outcome, const Arguments& arguments,
           std::ostream& out, std::ostream& err) {
    if (outcome.status == EditStatus::Unreadable) {
        ReportLoadFailure(err, Utf16ToUtf8(outcome.message), arguments.positional[0]);
        return ExitCodeFor(outcome.status);
    }
    if (outcome.status != EditStatus::Ok) {
        err << Utf16ToUtf8(outcome.message) << '\n';
        PrintWriteNotes(outcome.write, err);
        return ExitCodeFor(outcome.status);
    }
    const std::string& history = arguments.positional[0];
    out << (arguments.format == OutputFormat::Json ? HistoryEditJson(command, outcome, history)
                                                   : HistoryEditText(command, outcome, history));
    PrintWriteNotes(outcome.write, err);
    return kExitOk;
}

}  // namespace

std::optional<std::chrono::milliseconds> ParseWaitSeconds(const std::string& text) {
    constexpr double kMaxSeconds = 86400;
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(seconds) || seconds < 0 ||
        seconds > kMaxSeconds) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<std::int64_t>(std::llround(seconds * 1000)));
}

std::string BadWaitLine(const std::string& text) {
    return std::string(kWaitOption) + " must be a number of seconds from 0 to 86400: " + text;
}

LockWait LockWaitTellingOn(std::ostream& err, std::chrono::milliseconds limit) {
    LockWait wait;
    wait.limit = limit;
    wait.waiting = [&err] { err << Utf16ToUtf8(kMsgHistoryWaiting) << std::endl; };
    return wait;
}

void PrintWriteNotes(const WriteOutcome& write, std::ostream& err) {
    for (const WriteNote& note : write.notes) err << Utf16ToUtf8(WriteNoteMessage(note)) << '\n';
}

bool IsHistoryCommand(const std::vector<std::string>& args) noexcept {
    return !args.empty() && (args[0] == "add" || args[0] == "import" || args[0] == "init");
}

int ExitCodeFor(EditStatus status) noexcept {
    switch (status) {
        case EditStatus::Ok:
            return kExitOk;
        case EditStatus::NoPath:
        case EditStatus::NotFound:
            return kExitNoPath;
        case EditStatus::NotRegular:
        case EditStatus::Unreadable:
            return kExitUnreadable;
        case EditStatus::ReadOnly:
            return kExitNoPermission;
        case EditStatus::Exists:
            return kExitExists;
        case EditStatus::Refused:
        case EditStatus::Conflict:
        case EditStatus::SourceError:
        case EditStatus::TooLarge:
            return kExitRefused;
        case EditStatus::Changed:
            return kExitTryAgain;
        case EditStatus::WriteFailed:
        case EditStatus::Unconfirmed:
            return kExitWriteError;
        case EditStatus::Locked:
            return kExitTryAgain;
        case EditStatus::Internal:
        case EditStatus::OutOfMemory:
            return kExitInternal;
    }
    return kExitInternal;
}

int RunHistoryCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                      std::ostream& err) {
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
    const std::string& history = arguments.positional[0];
    switch (arguments.command) {
        case HistoryCommand::Add: {
            AddRequest request;
            request.historyPath = history;
            request.result = Utf16(arguments.positional[1]);
            if (arguments.draw) {
                request.draw = DrawNumber(*arguments.draw);
                if (!request.draw) {
                    err << UsageErrorLines(
                        args, "--draw must be a number from 1 to 2147483647: " + *arguments.draw);
                    return kExitUsage;
                }
            }
            if (arguments.date) {
                request.date = Utf16(*arguments.date);
                if (request.date.empty()) request.date = u" ";  // refused as no date
            }
            if (arguments.payouts) {
                const auto payouts = PayoutsOf(Utf16(*arguments.payouts));
                if (!payouts) {
                    err << UsageErrorLines(
                        args,
                        "--payouts must be STRAIGHT,BOX,SET_STRAIGHT,SET_BOX in yen "
                        "(0 to 99999999, empty parts allowed): " +
                            *arguments.payouts);
                    return kExitUsage;
                }
                request.payouts = *payouts;
            }
            request.replace = arguments.replace;
            request.allowGap = arguments.allowGap;
            request.dryRun = arguments.dryRun;
            request.wait = LockWaitTellingOn(err, waitLimit);
            return Report(HistoryCommand::Add, AddResult(request), arguments, out, err);
        }
        case HistoryCommand::Import: {
            ImportRequest request;
            request.historyPath = history;
            request.allowGap = arguments.allowGap;
            request.dryRun = arguments.dryRun;
            request.keepMine = arguments.keepMine;
            request.wait = LockWaitTellingOn(err, waitLimit);
            for (auto name = arguments.positional.begin() + 1; name != arguments.positional.end();
                 ++name) {
                std::string error;
                std::optional<std::string> bytes =
                    *name == "-" ? ReadStandardInput(in, error) : ReadSourceFile(*name, error);
                if (!bytes) {
                    err << "取り込み元を読めません: " << *name << "（" << error << "）\n";
                    return kExitNoSource;
                }
                request.sources.push_back({*name, std::move(*bytes)});
            }
            return Report(HistoryCommand::Import, ImportResults(std::move(request)), arguments, out,
                          err);
        }
        case HistoryCommand::Init:
            return Report(HistoryCommand::Init, InitHistory(history), arguments, out, err);
    }
    return kExitInternal;
}

}  // namespace corvalith
