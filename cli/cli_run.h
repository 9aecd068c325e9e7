// Runs one corvix-cli invocation over the forecast core and maps its outcome
// to the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "commands/predict_core.h"

namespace corvalith {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNoPath = 2;      // empty or nonexistent path
inline constexpr int kExitUnreadable = 3;  // the history failed to load
inline constexpr int kExitInternal = 70;   // an unexpected failure of the forecast itself
inline constexpr int kExitUsage = 64;      // bad arguments

// The exit status that reports a Predict outcome.
[[nodiscard]] int ExitCodeFor(PredictStatus status) noexcept;

// `args` are the arguments after the program name. Results go to `out` in
// UTF-8, one failure line (and the usage, for bad arguments) to `err`.
[[nodiscard]] int RunCli(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);

}  // namespace corvalith
