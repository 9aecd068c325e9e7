// Parsing of corvix-cli's arguments: defaults, every accepted value, the
// options each command takes, and refusals instead of guesses.
#include "cli/cli_args.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "evaluate/ticket_rules.h"

namespace corvalith {
namespace {

CliOptions Parse(const std::vector<std::string>& args) {
    const CliParse parse = ParseCliArguments(args);
    EXPECT_TRUE(parse.options) << parse.error;
    return parse.options.value_or(CliOptions{});
}

std::string Error(const std::vector<std::string>& args) {
    const CliParse parse = ParseCliArguments(args);
    EXPECT_FALSE(parse.options);
    return parse.error;
}

TEST(CliArguments, DefaultsAndValues) {
    const CliOptions defaults = Parse({"predict", "h.csv"});
    EXPECT_EQ(defaults.command, CliCommand::Predict);
    EXPECT_EQ(defaults.history, "h.csv");
    EXPECT_EQ(defaults.interval, 15u);
    EXPECT_EQ(defaults.filter, FilterKind::Lpf);
    EXPECT_EQ(defaults.fft, FftPlacement::Head);
    EXPECT_FALSE(defaults.draw);
    EXPECT_TRUE(defaults.trace.empty());
    EXPECT_EQ(defaults.format, OutputFormat::Text);

    const CliOptions all = Parse({"predict", "--interval", "30", "--filter=none", "h.csv", "--draw",
                                  "0", "--fft", "headtail", "--trace", "t.log", "--format=json"});
    EXPECT_EQ(all.interval, 30u);
    EXPECT_EQ(all.filter, FilterKind::None);
    EXPECT_EQ(all.draw, 0);
    EXPECT_EQ(all.fft, FftPlacement::HeadTail);
    EXPECT_EQ(all.trace, "t.log");
    EXPECT_EQ(all.format, OutputFormat::Json);

    for (const auto& [name, kind] : {std::pair{"lpf", FilterKind::Lpf},
                                     {"bpf", FilterKind::Bpf},
                                     {"none", FilterKind::None}}) {
        EXPECT_EQ(Parse({"predict", "h", "--filter", name}).filter, kind);
    }
    for (const auto& [name, placement] : {std::pair{"head", FftPlacement::Head},
                                          {"tail", FftPlacement::Tail},
                                          {"center", FftPlacement::Center},
                                          {"headtail", FftPlacement::HeadTail}}) {
        EXPECT_EQ(Parse({"predict", "h", "--fft", name}).fft, placement);
    }
    for (const char* n : {"10", "12", "15", "18", "20", "24", "30"}) {
        EXPECT_EQ(Parse({"predict", "h", "--interval", n}).interval, std::stoul(n));
    }
    EXPECT_EQ(Parse({"predict", "h", "--draw", "2147483647"}).draw, 2147483647);
    EXPECT_EQ(Parse({"predict", "", "--draw=7"}).history, "");
    EXPECT_EQ(Parse({"predict", "--", "--odd-name.csv"}).history, "--odd-name.csv");
    EXPECT_EQ(Parse({"predict", "-"}).history, "-");
    EXPECT_EQ(Parse({"predict", "predict"}).history, "predict");
    EXPECT_EQ(Parse({"next-draw", "h"}).command, CliCommand::NextDraw);
    EXPECT_EQ(Parse({"predict", "--help"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"sweep", "h", "-h"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"sweep", "h", "-h"}).helpFor, "sweep");
    EXPECT_EQ(Parse({"--help"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"--help"}).helpFor, "");
    EXPECT_EQ(Parse({"check", "h"}).command, CliCommand::Check);
}

TEST(CliArguments, VersionAnywhereUnlessHelpIsAsked) {
    EXPECT_EQ(Parse({"--version"}).command, CliCommand::Version);
    EXPECT_EQ(Parse({"predict", "h", "--version"}).command, CliCommand::Version);
    EXPECT_EQ(Parse({"--version", "--filter", "odd"}).command, CliCommand::Version);
    EXPECT_EQ(Parse({"--version", "-h"}).command, CliCommand::Help);
    // Only the exact word: no prefix and no value.
    EXPECT_EQ(Error({"--vers"}), "unknown command: --vers");
    EXPECT_EQ(Error({"predict", "h", "--version=1"}), "unknown option: --version");
    EXPECT_NE(std::string(CliUsage()).find("  corvix-cli --version\n"), std::string::npos);
}

TEST(CliArguments, EvaluationCommands) {
    const CliOptions backtest = Parse({"backtest", "h"});
    EXPECT_EQ(backtest.command, CliCommand::Backtest);
    EXPECT_EQ(backtest.top, 1);
    EXPECT_FALSE(backtest.from);
    EXPECT_EQ(backtest.filter, FilterKind::Lpf);
    EXPECT_EQ(backtest.interval, kDefaultInterval);

    const CliOptions set =
        Parse({"backtest", "--top=10", "h", "--from", "2147483647", "--filter", "bpf", "--interval",
               "24", "--fft", "center", "--format", "json"});
    EXPECT_EQ(set.top, 10);
    EXPECT_EQ(set.from, 2147483647);
    EXPECT_EQ(set.filter, FilterKind::Bpf);
    EXPECT_EQ(set.interval, 24u);
    EXPECT_EQ(set.fft, FftPlacement::Center);
    EXPECT_EQ(set.format, OutputFormat::Json);

    const CliOptions sweep = Parse({"sweep", "h", "--jobs", "3", "--top", "2", "--from", "0"});
    EXPECT_EQ(sweep.command, CliCommand::Sweep);
    EXPECT_EQ(sweep.jobs, 3u);
    EXPECT_EQ(sweep.top, 2);
    EXPECT_EQ(sweep.from, 0);
    EXPECT_EQ(Parse({"sweep", "h"}).jobs, 0u);  // the hardware threads
    EXPECT_EQ(Parse({"sweep", "h", "--jobs", std::to_string(kMaxJobs)}).jobs,
              static_cast<unsigned>(kMaxJobs));
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(Parse({"sweep", "h", "--top", std::to_string(k)}).top, k);
    }
    EXPECT_EQ(Parse({"randomness", "h", "--format", "json"}).command, CliCommand::Randomness);
}

TEST(CliArguments, RefusesWhatItCannotTakeLiterally) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"forecast", "h"},
        {"predict"},
        {"predict", "a", "b"},
        {"predict", "a", "next-draw"},
        {"predict", "h", "--", "x"},
        {"predict", "h", "--interval", "13"},
        {"predict", "h", "--interval", "015x"},
        {"predict", "h", "--interval"},
        {"predict", "h", "--interval="},
        {"predict", "h", "--filter", "LPF"},
        {"predict", "h", "--filter", ""},
        {"predict", "h", "--fft", "middle"},
        {"predict", "h", "--draw", "-1"},
        {"predict", "h", "--draw", "12a"},
        {"predict", "h", "--draw", "2147483648"},
        {"predict", "h", "--trace", ""},
        {"predict", "h", "--verbose"},
        {"predict", "h", "-v"},
        {"predict", "h", "--interval", "10", "--interval", "12"},
        {"predict", "h", "--format", "xml"},
        {"predict", "h", "--top", "1"},
        {"next-draw", "h", "--filter", "lpf"},
        {"next-draw", "h", "--format", "json"},
        {"next-draw"},
        {"backtest"},
        {"backtest", "h", "--top", "0"},
        {"backtest", "h", "--top", "11"},
        {"backtest", "h", "--top", "-1"},
        {"backtest", "h", "--top", "1.5"},
        {"backtest", "h", "--top", "1", "--top", "1"},
        {"backtest", "h", "--from", "-5"},
        {"backtest", "h", "--from", "x"},
        {"backtest", "h", "--jobs", "2"},
        {"backtest", "h", "--draw", "2"},
        {"backtest", "h", "--payouts", "real"},
        {"backtest", "h", "--pick", "payout"},
        {"sweep", "h", "--payouts", "theoretical"},
        {"sweep", "h", "--jobs", "0"},
        {"sweep", "h", "--jobs", "-1"},
        {"sweep", "h", "--jobs", std::to_string(kMaxJobs + 1)},
        {"sweep", "h", "--jobs", "99999999999"},
        {"sweep", "h", "--jobs"},
        {"sweep", "h", "--filter", "lpf"},
        {"sweep", "h", "--interval", "15"},
        {"randomness", "h", "--top", "1"},
        {"randomness", "h", "--format", "json", "--format", "text"},
        {"randomness"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        const CliParse parse = ParseCliArguments(args);
        EXPECT_FALSE(parse.options) << joined;
        EXPECT_FALSE(parse.error.empty()) << joined;
        EXPECT_EQ(parse.error.find('\n'), std::string::npos) << joined;
    }
}

TEST(CliArguments, SaysWhatIsWrong) {
    EXPECT_EQ(Error({}), "no command given");
    EXPECT_EQ(Error({"forecast", "h"}), "unknown command: forecast");
    EXPECT_EQ(Error({"predict"}), "missing HISTORY");
    EXPECT_EQ(Error({"predict", "a", "b"}), "unexpected argument: b");
    EXPECT_EQ(Error({"predict", "h", "--bogus=1"}), "unknown option: --bogus");
    EXPECT_EQ(Error({"sweep", "h", "--filter", "lpf"}), "unknown option: --filter");
    EXPECT_EQ(Error({"predict", "h", "--interval"}), "missing value for --interval");
    EXPECT_EQ(Error({"sweep", "h", "--top", "2", "--top=3"}), "option given twice: --top");
    EXPECT_EQ(Error({"backtest", "h", "--top", "11"}), "--top must be a number from 1 to 10: 11");
    EXPECT_EQ(Error({"sweep", "h", "--jobs", "0"}),
              "--jobs must be a number from 1 to " + std::to_string(kMaxJobs) + ": 0");
    EXPECT_EQ(Error({"predict", "h", "--filter", "x"}), "--filter must be lpf, bpf or none: x");
    EXPECT_EQ(Error({"predict", "h", "--fft", "x"}),
              "--fft must be head, tail, center or headtail: x");
    EXPECT_EQ(Error({"predict", "h", "--format", "x"}), "--format must be text or json: x");
}

// The usage lists every mode that the mode headers define.
TEST(CliArguments, UsageNamesEveryMode) {
    const std::string usage(CliUsage());
    EXPECT_EQ(usage.rfind("Usage:\n", 0), 0u);
    for (const FilterKind kind : kAllFilterKinds) {
        EXPECT_NE(usage.find(NameOf(kind)), std::string::npos) << NameOf(kind);
    }
    for (const FftPlacement placement : kAllPlacements) {
        EXPECT_NE(usage.find(NameOf(placement)), std::string::npos) << NameOf(placement);
    }
    for (const std::uint32_t interval : kIntervals) {
        EXPECT_NE(usage.find(std::to_string(interval)), std::string::npos) << interval;
    }
    for (const char* command :
         {"predict", "next-draw", "backtest", "sweep", "randomness", "tickets"}) {
        EXPECT_NE(usage.find(std::string("corvix-cli ") + command), std::string::npos);
    }
    for (const char* code : {" 0 ", " 2 ", " 3 ", " 64 ", "65 ", "70 "}) {
        EXPECT_NE(usage.find(code), std::string::npos) << code;
    }
    std::size_t start = 0;
    for (std::size_t end = usage.find('\n'); end != std::string::npos;
         start = end + 1, end = usage.find('\n', start)) {
        EXPECT_LE(end - start, 96u) << usage.substr(start, end - start);
    }
}

// The completion and the manual page offer exactly the bet types and payout
// modes the program takes, in its order.
TEST(CliArguments, CompletionAndManualPageNameTheProgramsLists) {
    std::string bets;
    for (const evaluate::BetType type : evaluate::kAllBetTypes) {
        bets += (bets.empty() ? "" : " ") + std::string(evaluate::NameOf(type));
    }
    std::string modes;
    for (const evaluate::PayoutMode mode : evaluate::kAllPayoutModes) {
        modes += (modes.empty() ? "" : " ") + std::string(evaluate::NameOf(mode));
    }
    const auto read = [](const std::string& name) {
        std::ifstream in(std::string(CORVALITH_PACKAGING) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string completion = read("corvix-cli.bash");
    ASSERT_FALSE(completion.empty());
    EXPECT_NE(completion.find("--bet)\n            _corvix_cli_offer \"" + bets + "\""),
              std::string::npos);
    EXPECT_NE(completion.find("_corvix_cli_offer \"" + modes + "\""), std::string::npos);
    const std::string manual = read("corvix-cli.1.in");
    ASSERT_FALSE(manual.empty());
    const auto bars = [](std::string words) {
        std::replace(words.begin(), words.end(), ' ', '|');
        return words;
    };
    EXPECT_NE(manual.find("\\-\\-bet " + bars(bets)), std::string::npos);
    EXPECT_NE(manual.find("\\-\\-payouts " + bars(modes)), std::string::npos);
}

}  // namespace
}  // namespace corvalith
