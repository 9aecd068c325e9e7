// Strict option parsing on CLI11: one subcommand per command, every option
// taken as text (`--name value` or `--name=value`) and checked here, so that
// the messages are corvix-cli's own. CLI11's generated help is not used.
#include "cli/cli_args.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <limits>
#include <span>

#include "evaluate/backtest.h"
#include "evaluate/ticket_plan.h"

namespace corvalith {
namespace {

// Every mode list comes from the mode headers.
template <typename T, std::size_t N>
std::string JoinNames(const T (&values)[N], std::string_view separator) {
    std::string joined;
    for (const T& value : values) {
        if (!joined.empty()) joined += separator;
        joined += NameOf(value);
    }
    return joined;
}

std::string FilterNames(std::string_view separator) {
    return JoinNames(kAllFilterKinds, separator);
}
std::string PlacementNames(std::string_view separator) {
    return JoinNames(kAllPlacements, separator);
}
std::string PayoutModeNames(std::string_view separator) {
    std::string joined;
    for (const evaluate::PayoutMode mode : evaluate::kAllPayoutModes) {
        if (!joined.empty()) joined += separator;
        joined += evaluate::NameOf(mode);
    }
    return joined;
}
std::string BetNames(std::string_view separator) {
    std::string joined;
    for (const evaluate::BetType type : evaluate::kAllBetTypes) {
        if (!joined.empty()) joined += separator;
        joined += evaluate::NameOf(type);
    }
    return joined;
}

// The intervals in ascending order, joined by `separator`.
std::string IntervalList(std::string_view separator) {
    auto sorted = kIntervals;
    std::sort(sorted.begin(), sorted.end());
    std::string list;
    for (const std::uint32_t n : sorted) {
        if (!list.empty()) list += separator;
        list += std::to_string(n);
    }
    return list;
}

// "a, b or c" from "a|b|c".
std::string Alternatives(const std::string& joined) {
    std::string text = joined;
    std::size_t bar = text.rfind('|');
    if (bar != std::string::npos) text.replace(bar, 1, " or ");
    for (bar = text.find('|'); bar != std::string::npos; bar = text.find('|')) {
        text.replace(bar, 1, ", ");
    }
    return text;
}

std::string BuildUsage() {
    const std::string filters = FilterNames("|");
    const std::string placements = PlacementNames("|");
    const std::string filterArg = "[--filter " + filters + "]";
    const std::string fftArg = "[--fft " + placements + "]";
    const std::string bets = BetNames("|");
    std::string u;
    u += "Usage:\n";
    u += "  corvix-cli predict HISTORY [--interval N] " + filterArg + " [--draw N]\n";
    u += "                     " + fftArg + " [--trace FILE] [--format text|json]\n";
    u += "  corvix-cli next-draw HISTORY\n";
    u += "  corvix-cli backtest HISTORY " + filterArg + " [--interval N]\n";
    u += "                     " + fftArg + " [--top K] [--from N]\n";
    u += "                     [--bet " + bets + "] [--payouts " + PayoutModeNames("|") + "]\n";
    u += "                     [--pick forecast|payout] [--format text|json]\n";
    u += "  corvix-cli sweep HISTORY [--top K] [--from N] [--jobs N] [--bet " + bets + "]\n";
    u += "                     [--payouts " + PayoutModeNames("|") + "] [--format text|json]\n";
    u += "  corvix-cli randomness HISTORY [--format text|json]\n";
    u += "  corvix-cli add HISTORY NUMBER [--draw N] [--date YYYY/M/D] [--replace] [--allow-gap]\n";
    u += "                     [--payouts S,B,SS,SB] [--dry-run] [--format text|json]\n";
    u += "                     [--wait SECONDS]\n";
    u += "  corvix-cli import HISTORY SOURCE... [--allow-gap] [--keep-mine] [--dry-run]\n";
    u += "                     [--format text|json] [--wait SECONDS]\n";
    u += "  corvix-cli init HISTORY [--format text|json] [--wait SECONDS]\n";
    u += "  corvix-cli check HISTORY [--format text|json]\n";
    u += "  corvix-cli update HISTORY [--source URL|FILE] [--keep-mine] [--dry-run]\n";
    u += "                     [--format text|json] [--wait SECONDS]\n";
    u += "  corvix-cli tickets HISTORY [--interval N] " + filterArg + " [--draw N]\n";
    u += "                     " + fftArg + " [--spread K] [--format text|json]\n";
    u += "  corvix-cli payouts HISTORY [--format text|json]\n";
    u += "  corvix-cli --help\n";
    u += "  corvix-cli --version\n";
    u += "\n";
    u += "predict     prints the forecast of the next draw from a code page 932 draw history.\n";
    u += "            --interval  cycle length in draws: " + Alternatives(IntervalList("|")) +
         " (default " + std::to_string(kDefaultInterval) + ")\n";
    u += "            --filter    " + Alternatives(filters) + " (default " +
         std::string(NameOf(FilterKind::Lpf)) + ")\n";
    u += "            --draw      draw number shown in the heading (default: highest in the file "
         "+ 1)\n";
    u += "            --fft       frame placement: " + Alternatives(placements) + " (default " +
         std::string(NameOf(FftPlacement::Head)) + ")\n";
    u += "            --trace     append the predictors' trace to FILE\n";
    u += "next-draw   prints the highest draw number in the file plus one (nothing when none).\n";
    u += "backtest    forecasts every draw from the draws before it and scores the forecasts\n";
    u += "            against chance and the hot and cold rules (--filter, --interval, --fft as\n";
    u += "            for predict).\n";
    u += "            --top       a hit is the drawn digit among the first K: 1 to " +
         std::to_string(evaluate::kMaxTop) + " (default 1)\n";
    u += "            --from      evaluate only the draws numbered N and above\n";
    u += "            --bet       also the money record of one ticket a draw on the forecast's\n";
    u += "                        pick: " + Alternatives(bets) + "\n";
    u += "            --payouts   the amounts of that record: " +
         Alternatives(PayoutModeNames("|")) + "\n";
    u += "                        (default auto: the history's real payouts when every\n";
    u += "                        evaluated draw has them, else theoretical)\n";
    u += "            --pick      payout: also the bettor who buys, of the numbers of each\n";
    u += "                        position's first two digits, the one whose estimated payout\n";
    u += "                        is highest (same chance of winning; default forecast)\n";
    u += "sweep       backtests every setting, with Holm's correction over all of them.\n";
    u += "            --jobs      threads, 1 to " + std::to_string(kMaxJobs) +
         " (default: the hardware threads)\n";
    u += "            --bet       also every setting's return rate for that ticket type\n";
    u += "            --payouts   as for backtest, the same amounts for every setting\n";
    u += "randomness  tests whether the digits look uniform and independent.\n";
    u += "add         writes one result (four digits) as the next draw, in the file's own style.\n";
    u += "            --draw      draw number (default: highest in the file + 1)\n";
    u += "            --date      draw date (default: today)\n";
    u += "            --replace   change the result (and date) of an existing draw\n";
    u += "            --allow-gap allow missing draws before the new ones\n";
    u += "            --payouts   the draw's straight, box, set-straight and set-box payouts in\n";
    u += "                        yen, empty parts allowed (279700,,, for a quad)\n";
    u += "            --dry-run   show what would be written and write nothing\n";
    u += "            --wait      seconds to wait for another program's write (default 10, 0 = "
         "none)\n";
    u += "import      adds the new draws of history files, CSV/TSV with a header, JSON, or\n";
    u += "            pasted lines (SOURCE - is standard input), with their payouts; draws\n";
    u += "            already there gain payouts they lack; conflicting results are refused.\n";
    u += "            --keep-mine keep the history's result and payouts where a source\n";
    u += "                        disagrees, import the rest and list what was kept\n";
    u += "init        writes a new history with only the header line.\n";
    u += "update      downloads the published results and imports them in one write.\n";
    u += "            --source    an http:// or https:// URL or a file (default: the full JSON\n";
    u += "                        of the results data set); for that data set its version.json\n";
    u += "                        is asked first and nothing is downloaded when it has no newer\n";
    u += "                        draw\n";
    u += "            --keep-mine keep the history's result where the source disagrees\n";
    u += "tickets     prints the tickets of the forecast (options as for predict): the pick,\n";
    u += "            its pattern and the orders a box ticket covers.\n";
    u += "            --spread    also every straight number of each position's first K digits:\n";
    u += "                        1 to " + std::to_string(evaluate::kMaxSpread) + "\n";
    u += "check       lists every line that keeps the history from loading (up to 20, then a\n";
    u += "            count): its line, field and reason; also the payout fields 6 to 9, which\n";
    u += "            the forecast does not read (a file may then fail check and still predict).\n";
    u += "payouts     what the winning numbers paid by class (pattern, date, run, recent)\n";
    u += "            against the theoretical amounts, and the walk-forward check of the\n";
    u += "            payout estimate.\n";
    u += "--format    text (Japanese, for a terminal) or json (one UTF-8 object); default text.\n";
    u += "\n";
    u += "backtest, sweep and randomness need at least one draw, and draw numbers that rise\n";
    u += "strictly in file order.\n";
    u += "\n";
    u += "Exit status: 0 done, 2 no or nonexistent path, 3 history unreadable, 64 bad arguments,\n";
    u += "65 history not usable for evaluation (no draws, or draw numbers not ascending),\n";
    u += "70 internal failure (also memory exhausted), 74 output could not be written;\n";
    u += "add, import and init: 65 refused (nothing written), 66 source unreadable, 73 init over\n";
    u += "an existing file, 74 write failed (history unchanged), 75 history changed by another\n";
    u += "program meanwhile (try again), 77 history read-only.\n";
    u += "check: 0 the history loads and its payout fields hold, 3 a problem was found.\n";
    u += "update: as import, and 69 download failed (no connection, timeout, TLS, HTTP error;\n";
    u += "nothing written); a source over 64 MiB is refused with 65.\n";
    return u;
}

// A plain non-negative decimal number that fits in 32 bits signed.
std::optional<std::int32_t> ParseNumber(std::string_view text) {
    if (text.empty() ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

enum class Opt {
    Interval,
    Filter,
    Fft,
    Draw,
    Trace,
    Top,
    From,
    Jobs,
    Format,
    Spread,
    Bet,
    Payouts,
    Pick
};

struct OptionName {
    Opt id;
    const char* name;
};
constexpr std::array<OptionName, 13> kOptionNames = {{
    {Opt::Interval, "--interval"},
    {Opt::Filter, "--filter"},
    {Opt::Fft, "--fft"},
    {Opt::Draw, "--draw"},
    {Opt::Trace, "--trace"},
    {Opt::Top, "--top"},
    {Opt::From, "--from"},
    {Opt::Jobs, "--jobs"},
    {Opt::Format, "--format"},
    {Opt::Spread, "--spread"},
    {Opt::Bet, "--bet"},
    {Opt::Payouts, "--payouts"},
    {Opt::Pick, "--pick"},
}};

const char* NameOf(Opt id) {
    for (const OptionName& o : kOptionNames) {
        if (o.id == id) return o.name;
    }
    return "";
}

struct CommandSpec {
    const char* name;
    CliCommand command;
    std::initializer_list<Opt> options;
};
const std::array<CommandSpec, 8> kCommands = {{
    {"predict",
     CliCommand::Predict,
     {Opt::Interval, Opt::Filter, Opt::Draw, Opt::Fft, Opt::Trace, Opt::Format}},
    {"next-draw", CliCommand::NextDraw, {}},
    {"backtest",
     CliCommand::Backtest,
     {Opt::Filter, Opt::Interval, Opt::Fft, Opt::Top, Opt::From, Opt::Bet, Opt::Payouts, Opt::Pick,
      Opt::Format}},
    {"sweep",
     CliCommand::Sweep,
     {Opt::Top, Opt::From, Opt::Jobs, Opt::Bet, Opt::Payouts, Opt::Format}},
    {"randomness", CliCommand::Randomness, {Opt::Format}},
    {"tickets",
     CliCommand::Tickets,
     {Opt::Interval, Opt::Filter, Opt::Draw, Opt::Fft, Opt::Spread, Opt::Format}},
    {"check", CliCommand::Check, {Opt::Format}},
    {"payouts", CliCommand::Payouts, {Opt::Format}},
}};

// The commands the history-command parser reads.
constexpr std::array<std::string_view, 4> kHistoryCommandNames = {"add", "import", "init",
                                                                  "update"};

// Applies one option's value; an error line when the value is not accepted.
std::optional<std::string> Apply(Opt id, const std::string& value, CliOptions& options) {
    switch (id) {
        case Opt::Interval: {
            const auto n = ParseNumber(value);
            if (!n || !IsInterval(static_cast<std::uint32_t>(*n))) {
                return "--interval must be one of " + IntervalList(", ") + ": " + value;
            }
            options.interval = static_cast<std::uint32_t>(*n);
            return std::nullopt;
        }
        case Opt::Filter: {
            const auto kind = FilterKindNamed(value);
            if (!kind) return "--filter must be " + Alternatives(FilterNames("|")) + ": " + value;
            options.filter = *kind;
            return std::nullopt;
        }
        case Opt::Fft: {
            const auto placement = FftPlacementNamed(value);
            if (!placement) {
                return "--fft must be " + Alternatives(PlacementNames("|")) + ": " + value;
            }
            options.fft = *placement;
            return std::nullopt;
        }
        case Opt::Draw: {
            const auto n = ParseNumber(value);
            if (!n) return "--draw must be a number from 0 to 2147483647: " + value;
            options.draw = *n;
            return std::nullopt;
        }
        case Opt::Trace:
            if (value.empty()) return std::string("--trace needs a file name");
            options.trace = value;
            return std::nullopt;
        case Opt::Top: {
            const auto n = ParseNumber(value);
            if (!n || *n < 1 || *n > evaluate::kMaxTop) {
                return "--top must be a number from 1 to " + std::to_string(evaluate::kMaxTop) +
                       ": " + value;
            }
            options.top = *n;
            return std::nullopt;
        }
        case Opt::From: {
            const auto n = ParseNumber(value);
            if (!n) return "--from must be a number from 0 to 2147483647: " + value;
            options.from = *n;
            return std::nullopt;
        }
        case Opt::Jobs: {
            const auto n = ParseNumber(value);
            if (!n || *n < 1 || *n > kMaxJobs) {
                return "--jobs must be a number from 1 to " + std::to_string(kMaxJobs) + ": " +
                       value;
            }
            options.jobs = static_cast<unsigned>(*n);
            return std::nullopt;
        }
        case Opt::Format:
            if (value == "text") {
                options.format = OutputFormat::Text;
            } else if (value == "json") {
                options.format = OutputFormat::Json;
            } else {
                return "--format must be text or json: " + value;
            }
            return std::nullopt;
        case Opt::Spread: {
            const auto n = ParseNumber(value);
            if (!n || *n < 1 || *n > evaluate::kMaxSpread) {
                return "--spread must be a number from 1 to " +
                       std::to_string(evaluate::kMaxSpread) + ": " + value;
            }
            options.spread = *n;
            return std::nullopt;
        }
        case Opt::Bet: {
            const auto type = evaluate::BetTypeNamed(value);
            if (!type) return "--bet must be " + Alternatives(BetNames("|")) + ": " + value;
            options.bet = *type;
            return std::nullopt;
        }
        case Opt::Pick:
            if (value != "forecast" && value != "payout") {
                return "--pick must be forecast or payout: " + value;
            }
            options.payoutPick = value == "payout";
            return std::nullopt;
        case Opt::Payouts: {
            const auto mode = evaluate::PayoutModeNamed(value);
            if (!mode) {
                return "--payouts must be " + Alternatives(PayoutModeNames("|")) + ": " + value;
            }
            options.payouts = *mode;
            return std::nullopt;
        }
    }
    return std::string("unknown option");
}

CliParse Fail(std::string message) { return {std::nullopt, std::move(message)}; }

bool WantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

bool WantsVersion(const std::vector<std::string>& args) {
    return std::find(args.begin(), args.end(), "--version") != args.end();
}

// The first argument CLI11 left over, as an error line. CLI11 keeps a "--"
// separator among them; it is not an argument.
std::optional<std::string> Leftover(const std::vector<std::string>& remaining) {
    for (const std::string& arg : remaining) {
        if (arg == "--") continue;
        if (arg.size() > 1 && arg[0] == '-')
            return "unknown option: " + arg.substr(0, arg.find('='));
        return "unexpected argument: " + arg;
    }
    return std::nullopt;
}

struct Subcommand {
    const CommandSpec* spec = nullptr;
    CLI::App* app = nullptr;
    CLI::Option* history = nullptr;
    std::vector<std::pair<Opt, CLI::Option*>> options;
};

}  // namespace

std::string_view CliUsage() {
    static const std::string usage = BuildUsage();
    return usage;
}

bool IsCliCommandName(std::string_view name) noexcept {
    return std::any_of(kCommands.begin(), kCommands.end(),
                       [name](const CommandSpec& c) { return name == c.name; }) ||
           std::find(kHistoryCommandNames.begin(), kHistoryCommandNames.end(), name) !=
               kHistoryCommandNames.end();
}

std::string UsageErrorLines(const std::vector<std::string>& args, std::string_view error) {
    std::string lines = "corvix-cli: ";
    lines += error;
    lines += "\n詳しくは corvix-cli ";
    if (!args.empty() && IsCliCommandName(args[0])) lines += args[0] + " ";
    lines += "--help\n";
    return lines;
}

std::string CommandUsage(std::string_view command) {
    const std::string_view usage = CliUsage();
    if (!IsCliCommandName(command)) return std::string(usage);
    // The full usage is made of blocks: synopses ("  corvix-cli NAME ..."
    // with indented continuations), descriptions ("NAME" in the first column
    // with indented continuations), notes and the exit statuses.
    const std::string synopsis = "  corvix-cli " + std::string(command) + " ";
    const std::string description = std::string(command) + " ";
    std::string synopses = "Usage:\n";
    std::string described;
    std::string format;
    std::string exits;
    const bool evaluation = command == "backtest" || command == "sweep" || command == "randomness";
    std::string notes;
    enum class In { Other, Synopsis, Description, Note, Exits } in = In::Other;
    for (std::size_t at = 0; at < usage.size();) {
        const std::size_t end = usage.find('\n', at) + 1;
        const std::string_view line = usage.substr(at, end - at);
        at = end;
        if (in == In::Exits) {
            exits += line;
            continue;
        }
        if (in == In::Note && line != "\n") {
            notes += line;
            continue;
        }
        const bool continued = line.rfind("         ", 0) == 0;  // deeper than a synopsis
        if (continued && in == In::Synopsis) {
            synopses += line;
        } else if (continued && in == In::Description) {
            described += line;
        } else if (line.rfind(synopsis, 0) == 0) {
            synopses += line;
            in = In::Synopsis;
        } else if (line.rfind(description, 0) == 0) {
            described += line;
            in = In::Description;
        } else if (line.rfind("--format ", 0) == 0) {
            format = line;
            in = In::Other;
        } else if (evaluation && line.rfind("backtest, sweep and randomness", 0) == 0) {
            notes += line;
            in = In::Note;
        } else if (line.rfind("Exit status:", 0) == 0) {
            exits += line;
            in = In::Exits;
        } else {
            in = In::Other;
        }
    }
    std::string text = synopses + "\n" + described;
    if (synopses.find("--format") != std::string::npos) text += format;
    if (!notes.empty()) text += "\n" + notes;
    return text + "\n" + exits;
}

CliParse ParseCliArguments(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        CliOptions help;
        if (!args.empty() && IsCliCommandName(args[0])) help.helpFor = args[0];
        return {help, {}};
    }
    if (WantsVersion(args)) {
        CliOptions version;
        version.command = CliCommand::Version;
        return {version, {}};
    }
    if (args.empty()) return Fail("no command given");

    CLI::App app;
    app.set_help_flag();
    app.allow_extras();
    app.require_subcommand(0, 1);
    std::string history;
    std::vector<Subcommand> subcommands;
    for (const CommandSpec& spec : kCommands) {
        Subcommand sub{&spec, app.add_subcommand(spec.name), nullptr, {}};
        sub.app->set_help_flag();
        sub.app->allow_extras();
        sub.history = sub.app->add_option("HISTORY", history);
        for (const Opt id : spec.options) {
            CLI::Option* option = sub.app->add_option(NameOf(id))
                                      ->expected(1)
                                      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
            sub.options.emplace_back(id, option);
        }
        subcommands.push_back(sub);
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them reversed
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& e) {
        const std::string_view what = e.what();
        for (const OptionName& o : kOptionNames) {
            if (what.rfind(std::string(o.name) + ":", 0) == 0) {
                return Fail(std::string("missing value for ") + o.name);
            }
        }
        return Fail("missing value");
    } catch (const CLI::ParseError& e) {
        return Fail(e.what());
    }

    const auto chosen = std::find_if(subcommands.begin(), subcommands.end(),
                                     [](const Subcommand& s) { return s.app->parsed(); });
    if (chosen == subcommands.end()) return Fail("unknown command: " + args[0]);
    if (const auto error = Leftover(chosen->app->remaining())) return Fail(*error);
    if (const auto error = Leftover(app.remaining())) return Fail(*error);

    CliOptions options;
    options.command = chosen->spec->command;
    for (const auto& [id, option] : chosen->options) {
        if (option->count() > 1) return Fail(std::string("option given twice: ") + NameOf(id));
    }
    for (const auto& [id, option] : chosen->options) {
        if (option->count() == 0) continue;
        const std::vector<std::string>& values = option->results();
        if (const auto error =
                Apply(id, values.empty() ? std::string() : values.front(), options)) {
            return Fail(*error);
        }
    }
    if (chosen->history->count() == 0) return Fail("missing HISTORY");
    // Both shape the money record, which only --bet asks for.
    for (const auto& [id, option] : chosen->options) {
        if ((id == Opt::Payouts || id == Opt::Pick) && option->count() > 0 && !options.bet) {
            return Fail(std::string(NameOf(id)) + " needs --bet: it shapes the money record");
        }
    }
    options.history = history;
    return {options, {}};
}

}  // namespace corvalith
