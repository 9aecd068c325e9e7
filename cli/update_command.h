// corvix-cli's `update`: downloads the published results (or reads a file)
// and imports them into the history in one safe write; the report and the
// exit statuses of its outcomes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "commands/update_core.h"

namespace corvalith {

inline constexpr int kExitUnavailable = 69;  // the download failed (nothing written)

// Whether `args` (after the program name) name `update`.
[[nodiscard]] bool IsUpdateCommand(const std::vector<std::string>& args) noexcept;

// The exit status that reports an outcome.
[[nodiscard]] int ExitCodeFor(const UpdateOutcome& outcome) noexcept;

// Runs the command; `showProgress`: a download over a second shows its bytes
// on `err` (only for a terminal). `net` gives the network settings (tests
// shorten the timeouts and trust their own certificate authority).
[[nodiscard]] int RunUpdateCommand(const std::vector<std::string>& args, std::ostream& out,
                                   std::ostream& err, bool showProgress,
                                   const FetchRequest& net = {});

}  // namespace corvalith
