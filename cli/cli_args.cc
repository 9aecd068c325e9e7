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
    u += "                     [--dry-run] [--format text|json]\n";
    u += "  corvix-cli import HISTORY SOURCE... [--allow-gap] [--dry-run] [--format text|json]\n";
    u += "  corvix-cli init HISTORY [--format text|json]\n";
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
    u +=
        "            --top       a hit is the drawn digit among the first K: 1 to 10 (default 1)\n";
    u += "            --from      evaluate only the draws numbered N and above\n";
    u += "            --bet       also the money record of one ticket a draw on the forecast's\n";
    u += "                        pick: " + Alternatives(bets) + "\n";
    u += "            --payouts   the amounts of that record: " +
         Alternatives(PayoutModeNames("|")) + " (default auto: the history's real\n";
    u += "                        payouts when every evaluated draw has them, else theoretical)\n";
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
    u += "            --dry-run   show what would be written and write nothing\n";
    u += "import      adds the new draws of history files, CSV/TSV with a header, or pasted\n";
    u += "            lines (SOURCE - is standard input); conflicting results are refused.\n";
    u += "init        writes a new history with only the header line.\n";
    u += "tickets     prints the tickets of the forecast (options as for predict): the pick,\n";
    u += "            its pattern and the orders a box ticket covers.\n";
    u += "            --spread    also every straight number of each position's first K digits:\n";
    u += "                        1 to " + std::to_string(evaluate::kMaxSpread) + "\n";
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
const std::array<CommandSpec, 7> kCommands = {{
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
    {"payouts", CliCommand::Payouts, {Opt::Format}},
}};

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
            if (!n || *n < 1 || *n > 10) return "--top must be a number from 1 to 10: " + value;
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

CliParse ParseCliArguments(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return {CliOptions{}, {}};
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
    options.history = history;
    return {options, {}};
}

}  // namespace corvalith
