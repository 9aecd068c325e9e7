// corvix-cli check: the diagnosis of a history, as text or JSON, and the
// line that follows the load failure of every other command.
#pragma once

#include <ostream>
#include <string>

#include "cli/cli_args.h"

namespace corvalith {

// Diagnoses options.history: the problems on `out` (nothing but a verdict
// line when there are none), 0 when there are none, 3 when there are; the
// path checks and exhausted memory as for a forecast, on `err`.
[[nodiscard]] int RunCheck(const CliOptions& options, std::ostream& out, std::ostream& err);

// The first problem that keeps the history at `path` (file-system bytes)
// from loading, as one UTF-8 line without its line end; empty when the
// diagnosis finds none (the file changed meanwhile, or memory ran out).
[[nodiscard]] std::string FirstLoadProblem(const std::string& path) noexcept;

// Writes the load failure's message and, when the diagnosis names one, the
// first problem as a second line.
void ReportLoadFailure(std::ostream& err, std::string_view message, const std::string& path);

}  // namespace corvalith
