// backtest, sweep and randomness: read and check the history, run the
// evaluation, print its text or JSON report.
#pragma once

#include <ostream>

#include "cli/cli_args.h"

namespace corvalith {

// `options.command` is Backtest, Sweep or Randomness. Returns the exit
// status; failures print one line on `err`. With `showProgress` the long
// runs keep a progress line on `err` and erase it at the end.
[[nodiscard]] int RunEvaluation(const CliOptions& options, std::ostream& out, std::ostream& err,
                                bool showProgress);

}  // namespace corvalith
