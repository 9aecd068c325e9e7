// The command line of corvix-cli: what it accepts, parsed strictly (unknown
// options, missing or bad values and repeated options are refused).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalith {

enum class CliCommand { Help, Predict, NextDraw };

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::string history;               // file-system bytes of the history path
    std::uint32_t interval = 15;       // one of 10, 12, 15, 18, 20, 24, 30
    std::int32_t filterKind = 0;       // 0 lpf, 1 bpf, 2 none
    std::optional<std::int32_t> draw;  // --draw; unset: proposed from the file
    std::int32_t fftFlag = 0;          // 0 head, 1 tail, 2 center, -1 headtail
    std::string trace;                 // --trace FILE; empty: no trace
};

struct CliParse {
    std::optional<CliOptions> options;  // set when the arguments are valid
    std::string error;                  // otherwise: what is wrong, one line
};

// `args` are the arguments after the program name.
[[nodiscard]] CliParse ParseCliArguments(const std::vector<std::string>& args);

[[nodiscard]] std::string_view CliUsage();

}  // namespace corvalith
