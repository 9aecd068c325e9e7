// Strict option parsing: `--name value` or `--name=value`, each at most once,
// values from a fixed list or a plain decimal number.
#include "cli/cli_args.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>

namespace corvalith {
namespace {

constexpr std::string_view kUsage =
    "Usage:\n"
    "  corvix-cli predict HISTORY [--interval N] [--filter lpf|bpf|none] [--draw N]\n"
    "                     [--fft head|tail|center|headtail] [--trace FILE]\n"
    "  corvix-cli next-draw HISTORY\n"
    "  corvix-cli --help\n"
    "\n"
    "predict    prints the forecast of the next draw from a code page 932 draw history.\n"
    "           --interval  cycle length in draws: 10, 12, 15, 18, 20, 24 or 30 (default 15)\n"
    "           --filter    lpf, bpf or none (default lpf)\n"
    "           --draw      draw number shown in the heading (default: highest in the file + 1)\n"
    "           --fft       frame placement: head, tail, center or headtail (default head)\n"
    "           --trace     append the predictors' trace to FILE\n"
    "next-draw  prints the highest draw number in the file plus one (nothing when none).\n"
    "\n"
    "Exit status: 0 done, 2 no or nonexistent path, 3 history unreadable, 64 bad arguments.\n";

constexpr std::array<std::uint32_t, 7> kIntervals = {10, 12, 15, 18, 20, 24, 30};

template <typename T>
struct Choice {
    std::string_view name;
    T value;
};
constexpr std::array<Choice<std::int32_t>, 3> kFilters = {{{"lpf", 0}, {"bpf", 1}, {"none", 2}}};
constexpr std::array<Choice<std::int32_t>, 4> kPlacements = {
    {{"head", 0}, {"tail", 1}, {"center", 2}, {"headtail", -1}}};

template <typename T, std::size_t N>
std::optional<T> Lookup(const std::array<Choice<T>, N>& choices, std::string_view name) {
    for (const auto& c : choices) {
        if (c.name == name) return c.value;
    }
    return std::nullopt;
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

CliParse Fail(std::string message) { return {std::nullopt, std::move(message)}; }

bool WantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace

std::string_view CliUsage() { return kUsage; }

CliParse ParseCliArguments(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return {CliOptions{}, {}};
    if (args.empty()) return Fail("no command given");

    CliOptions options;
    if (args[0] == "predict") {
        options.command = CliCommand::Predict;
    } else if (args[0] == "next-draw") {
        options.command = CliCommand::NextDraw;
    } else {
        return Fail("unknown command: " + args[0]);
    }

    bool haveHistory = false;
    std::set<std::string> seen;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (haveHistory) return Fail("unexpected argument: " + arg);
            options.history = arg;
            haveHistory = true;
            continue;
        }
        if (arg == "--") {  // everything after it is the history path
            if (haveHistory || i + 2 != args.size()) return Fail("expected one HISTORY after --");
            options.history = args[++i];
            haveHistory = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const bool known = name == "--interval" || name == "--filter" || name == "--draw" ||
                           name == "--fft" || name == "--trace";
        if (!known || options.command != CliCommand::Predict) {
            return Fail("unknown option: " + name);
        }
        if (!seen.insert(name).second) return Fail("option given twice: " + name);
        if (!value) {
            if (i + 1 >= args.size()) return Fail("missing value for " + name);
            value = args[++i];
        }
        if (name == "--interval") {
            const auto n = ParseNumber(*value);
            if (!n || std::find(kIntervals.begin(), kIntervals.end(),
                                static_cast<std::uint32_t>(*n)) == kIntervals.end()) {
                return Fail("--interval must be one of 10, 12, 15, 18, 20, 24, 30: " + *value);
            }
            options.interval = static_cast<std::uint32_t>(*n);
        } else if (name == "--filter") {
            const auto kind = Lookup(kFilters, *value);
            if (!kind) return Fail("--filter must be lpf, bpf or none: " + *value);
            options.filterKind = *kind;
        } else if (name == "--fft") {
            const auto flag = Lookup(kPlacements, *value);
            if (!flag) return Fail("--fft must be head, tail, center or headtail: " + *value);
            options.fftFlag = *flag;
        } else if (name == "--draw") {
            const auto n = ParseNumber(*value);
            if (!n) return Fail("--draw must be a number from 0 to 2147483647: " + *value);
            options.draw = *n;
        } else {
            if (value->empty()) return Fail("--trace needs a file name");
            options.trace = *value;
        }
    }
    if (!haveHistory) return Fail("missing HISTORY");
    return {options, {}};
}

}  // namespace corvalith
