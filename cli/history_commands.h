// corvix-cli's history commands: `add`, `import` and `init`, with their own
// strict arguments (positional results and sources, switches), the reports
// from report/ and the exit statuses of the outcomes.
#pragma once

#include <chrono>
#include <istream>
#include <optional>
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

// `--wait SECONDS`, for every command that writes a history: how long to wait
// for another writer's lock (a number from 0 to 86400, decimals allowed; 0 =
// do not wait). Nothing for a value that is not one.
inline constexpr const char* kWaitOption = "--wait";
[[nodiscard]] std::optional<std::chrono::milliseconds> ParseWaitSeconds(const std::string& text);
// The usage error (without the program's name) for a bad `--wait` value.
[[nodiscard]] std::string BadWaitLine(const std::string& text);
// A wait of `limit` that says at once on `err` that another writer holds the lock.
[[nodiscard]] LockWait LockWaitTellingOn(std::ostream& err, std::chrono::milliseconds limit);
// The notes of a write (what it could not keep), one line each on `err`.
void PrintWriteNotes(const WriteOutcome& write, std::ostream& err);

// Runs the command; `in` is standard input for a source named "-".
[[nodiscard]] int RunHistoryCommand(const std::vector<std::string>& args, std::istream& in,
                                    std::ostream& out, std::ostream& err);

}  // namespace corvalith
