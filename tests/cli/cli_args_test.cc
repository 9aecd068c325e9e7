// Parsing of corvix-cli's arguments: defaults, every accepted value, and
// refusals instead of guesses.
#include "cli/cli_args.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvalith {
namespace {

CliOptions Parse(const std::vector<std::string>& args) {
    const CliParse parse = ParseCliArguments(args);
    EXPECT_TRUE(parse.options) << parse.error;
    return parse.options.value_or(CliOptions{});
}

TEST(CliArguments, DefaultsAndValues) {
    const CliOptions defaults = Parse({"predict", "h.csv"});
    EXPECT_EQ(defaults.command, CliCommand::Predict);
    EXPECT_EQ(defaults.history, "h.csv");
    EXPECT_EQ(defaults.interval, 15u);
    EXPECT_EQ(defaults.filterKind, 0);
    EXPECT_EQ(defaults.fftFlag, 0);
    EXPECT_FALSE(defaults.draw);
    EXPECT_TRUE(defaults.trace.empty());

    const CliOptions all = Parse({"predict", "--interval", "30", "--filter=none", "h.csv", "--draw",
                                  "0", "--fft", "headtail", "--trace", "t.log"});
    EXPECT_EQ(all.interval, 30u);
    EXPECT_EQ(all.filterKind, 2);
    EXPECT_EQ(all.draw, 0);
    EXPECT_EQ(all.fftFlag, -1);
    EXPECT_EQ(all.trace, "t.log");

    for (const auto& [name, kind] : {std::pair{"lpf", 0}, {"bpf", 1}, {"none", 2}}) {
        EXPECT_EQ(Parse({"predict", "h", "--filter", name}).filterKind, kind);
    }
    for (const auto& [name, flag] :
         {std::pair{"head", 0}, {"tail", 1}, {"center", 2}, {"headtail", -1}}) {
        EXPECT_EQ(Parse({"predict", "h", "--fft", name}).fftFlag, flag);
    }
    for (const char* n : {"10", "12", "15", "18", "20", "24", "30"}) {
        EXPECT_EQ(Parse({"predict", "h", "--interval", n}).interval, std::stoul(n));
    }
    EXPECT_EQ(Parse({"predict", "h", "--draw", "2147483647"}).draw, 2147483647);
    EXPECT_EQ(Parse({"predict", "", "--draw=7"}).history, "");
    EXPECT_EQ(Parse({"predict", "--", "--odd-name.csv"}).history, "--odd-name.csv");
    EXPECT_EQ(Parse({"next-draw", "h"}).command, CliCommand::NextDraw);
    EXPECT_EQ(Parse({"predict", "--help"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"--help"}).command, CliCommand::Help);
}

TEST(CliArguments, RefusesWhatItCannotTakeLiterally) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"forecast", "h"},
        {"predict"},
        {"predict", "a", "b"},
        {"predict", "h", "--interval", "13"},
        {"predict", "h", "--interval", "015x"},
        {"predict", "h", "--interval"},
        {"predict", "h", "--filter", "LPF"},
        {"predict", "h", "--filter", ""},
        {"predict", "h", "--fft", "middle"},
        {"predict", "h", "--draw", "-1"},
        {"predict", "h", "--draw", "12a"},
        {"predict", "h", "--draw", "2147483648"},
        {"predict", "h", "--trace", ""},
        {"predict", "h", "--verbose"},
        {"predict", "h", "--interval", "10", "--interval", "12"},
        {"next-draw", "h", "--filter", "lpf"},
        {"next-draw"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        const CliParse parse = ParseCliArguments(args);
        EXPECT_FALSE(parse.options) << joined;
        EXPECT_FALSE(parse.error.empty()) << joined;
    }
}

}  // namespace
}  // namespace corvalith
