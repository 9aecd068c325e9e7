// The command line of corvix-cli: what it accepts, parsed strictly (unknown
// options, missing or bad values and repeated options are refused).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dsp/fft_placement.h"
#include "dsp/filter_kind.h"
#include "dsp/intervals.h"
#include "evaluate/ticket_rules.h"

namespace corvalith {

enum class CliCommand {
    Help,
    Version,
    Predict,
    NextDraw,
    Backtest,
    Sweep,
    Randomness,
    Tickets,
    Check,
    Payouts,
};

enum class OutputFormat { Text, Json };

inline constexpr int kMaxJobs = 1024;  // --jobs upper bound

struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::string history;                        // file-system bytes of the history path
    std::uint32_t interval = kDefaultInterval;  // one of kIntervals
    FilterKind filter = FilterKind::Lpf;
    FftPlacement fft = FftPlacement::Head;
    std::optional<std::int32_t> draw;  // --draw; unset: proposed from the file
    std::string trace;                 // --trace FILE; empty: no trace
    int top = 1;                       // --top K, 1..10: a hit is the digit among the first K
    std::optional<std::int32_t> from;  // --from N: evaluate draws numbered N and above
    unsigned jobs = 0;                 // --jobs N, 1..kMaxJobs; 0: the hardware threads
    OutputFormat format = OutputFormat::Text;
    int spread = 0;                        // --spread K, 1..3; 0: none
    std::optional<evaluate::BetType> bet;  // --bet TYPE; unset: no money record
    std::string helpFor;                   // Help: the command whose usage is asked; empty: all
    evaluate::PayoutMode payouts = evaluate::PayoutMode::Auto;  // --payouts MODE
    bool payoutPick = false;  // --pick payout: also the payout-aware bettor
};

struct CliParse {
    std::optional<CliOptions> options;  // set when the arguments are valid
    std::string error;                  // otherwise: what is wrong, one line
};

// `args` are the arguments after the program name. `--help` or `-h` anywhere
// asks for the usage (command Help, `helpFor` the command named first, when
// it is one); otherwise `--version` anywhere asks for the version line
// (command Version).
[[nodiscard]] CliParse ParseCliArguments(const std::vector<std::string>& args);

[[nodiscard]] std::string_view CliUsage();

// The usage of one command (its synopsis, its description with its options,
// the exit statuses); the whole usage when `command` names none.
[[nodiscard]] std::string CommandUsage(std::string_view command);

// Whether `name` is one of corvix-cli's commands.
[[nodiscard]] bool IsCliCommandName(std::string_view name) noexcept;

// The lines that report a usage error of the command `args` name first:
// "corvix-cli: <error>" and the hint to its --help. Ends in LF.
[[nodiscard]] std::string UsageErrorLines(const std::vector<std::string>& args,
                                          std::string_view error);

}  // namespace corvalith
