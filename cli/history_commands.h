// corvix-cli's history commands: `add`, `import` and `init`, with their own
// strict arguments (positional results and sources, switches), the reports
// from report/ and the exit statuses of the outcomes.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "commands/history_edit.h"

namespace corvalith {

inline constexpr int kExitRefused = 65;       // a rule of the history refused the change
inline constexpr int kExitNoSource = 66;      // a source cannot be opened or read
inline constexpr int kExitExists = 73;        // init: the path is taken
inline constexpr int kExitWriteError = 74;    // a step of the write failed
inline constexpr int kExitTryAgain = 75;      // the history changed meanwhile
inline constexpr int kExitNoPermission = 77;  // the history is read-only

// Whether `args` (after the program name) name one of these commands.
[[nodiscard]] bool IsHistoryCommand(const std::vector<std::string>& args) noexcept;

// The exit status that reports an outcome.
[[nodiscard]] int ExitCodeFor(EditStatus status) noexcept;

// Runs the command; `in` is standard input for a source named "-".
[[nodiscard]] int RunHistoryCommand(const std::vector<std::string>& args, std::istream& in,
                                    std::ostream& out, std::ostream& err);

}  // namespace corvalith
