// predict --format json, backtest, sweep and randomness: the analysis the
// window runs (read and check the history, compute), then its text or JSON
// report.
#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace corvalith {

// `options.command` is Backtest, Sweep or Randomness, or Predict with the
// JSON format. Returns the exit
// status; failures print one line on `err`. With `showProgress` the long
// runs keep a progress line on `err` and erase it at the end.
[[nodiscard]] int RunEvaluation(const CliOptions& options, std::ostream& out, std::ostream& err,
                                bool showProgress);

}  // namespace corvalith
