// The diagnosis of a history: every line the forecast reader would refuse,
// with its line, its field and the reason in plain Japanese, read with the
// reader's own line rule (DrawLineCursor, ReadDrawLine) so that it agrees
// with LoadDrawHistory. The payout fields 6 to 9, which the forecast reader
// passes over, are checked too and reported apart.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "history/draw_history.h"

namespace corvalith {

// The problems a diagnosis lists at most; the others are only counted.
inline constexpr std::size_t kMaxListedProblems = 20;

struct HistoryProblem {
    std::size_t line = 0;   // 1-based line of the file (the header is 1); 0: the whole file
    std::size_t field = 0;  // 1-based field of the line; 0: the line as a whole
    std::u16string reason;  // plain Japanese, without a full stop
    std::u16string text;    // the field (or a part of the line) as read; may be empty
    bool payout = false;    // a payout field: the forecast reader still loads the file
};

struct HistoryDiagnosis {
    bool outOfMemory = false;               // the diagnosis itself ran out of memory
    std::vector<HistoryProblem> problems;   // the first kMaxListedProblems, file first
    std::size_t problemCount = 0;           // every problem found
    std::optional<HistoryProblem> refusal;  // the first problem that makes the reader refuse

    // Whether LoadDrawHistory reads the file (memory aside).
    [[nodiscard]] bool Loads() const noexcept { return !refusal.has_value(); }
    // Whether nothing at all was found, the payout fields included.
    [[nodiscard]] bool Clean() const noexcept { return problemCount == 0 && !outOfMemory; }
};

// Diagnoses the history at `path` (the file system's own bytes of the name)
// under `limits`. Reads the whole file into memory. Never throws.
[[nodiscard]] HistoryDiagnosis DiagnoseHistory(
    const std::string& path, const HistoryLimits& limits = kHistoryLimits) noexcept;

// One problem as a line: "N 行目: reason（「text」）" (without the line number
// for the whole file, without the quote when there is no text).
[[nodiscard]] std::u16string ProblemLine(const HistoryProblem& problem);

// The listed problems, one line each, and a last line with the number of the
// others when there are more ("ほか N 件の問題があります"); lines end in LF.
[[nodiscard]] std::u16string ProblemLines(const HistoryDiagnosis& diagnosis);

}  // namespace corvalith
