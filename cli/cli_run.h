// Runs one corvix-cli invocation over the forecast and evaluation cores and
// maps its outcome to the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "commands/predict_core.h"

namespace corvalith {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNoPath = 2;         // empty or nonexistent path
inline constexpr int kExitUnreadable = 3;     // the history failed to load
inline constexpr int kExitUsage = 64;         // bad arguments
inline constexpr int kExitNotEvaluable = 65;  // loads, but evaluation cannot use it
inline constexpr int kExitInternal = 70;      // an unexpected failure of the run itself
inline constexpr int kExitIoError = 74;       // the output could not be written

// The exit status that reports a Predict outcome.
[[nodiscard]] int ExitCodeFor(PredictStatus status) noexcept;

// The forecast request of predict's options (path, draw or its proposal,
// interval, filter, placement; no trace).
[[nodiscard]] PredictRequest PredictRequestOf(const CliOptions& options);

// `args` are the arguments after the program name. Results go to `out` in
// UTF-8, one failure line (and the usage, for bad arguments) to `err`. With
// `showProgress` the long evaluations keep a progress line on `err` (meant
// for a terminal) and erase it when they end. `out` is flushed at the end;
// when any of it could not be written, one line names the failure (from an
// FdOutput, its errno) and the status is kExitIoError. Exhausted memory is
// the memory message and kExitInternal. Never throws.
[[nodiscard]] int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                         bool showProgress = false) noexcept;

}  // namespace corvalith
