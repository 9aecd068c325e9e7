// What a number pays when it wins, by the classes players pick unevenly:
// its pattern, whether it reads as a month-day date, whether it is a run of
// consecutive digits, and whether it was drawn in the draws just before.
// The ratio of a draw's real payout to the theoretical amount of its
// pattern, summarised by class over the draws with payouts.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "evaluate/ticket_rules.h"
#include "history/draw_payouts.h"
#include "history/draw_table.h"

namespace corvalith::evaluate {

// How many draws before a draw count as "recent".
inline constexpr std::size_t kRecentDraws = 20;

struct NumberClasses {
    Pattern pattern = Pattern::Single;
    bool date = false;    // MMDD is a real calendar day (0229 included)
    bool run = false;     // each digit one above (1234, 0123) or one below (9876) the last
    bool recent = false;  // the same number drawn in the kRecentDraws draws before

    friend bool operator==(const NumberClasses&, const NumberClasses&) = default;
};

[[nodiscard]] bool IsMonthDay(const Number4& number) noexcept;
[[nodiscard]] bool IsRun(const Number4& number) noexcept;

// The classes of `number` when drawn after `before` (the draws before it,
// oldest first; only the last kRecentDraws matter).
[[nodiscard]] NumberClasses ClassesOf(const Number4& number,
                                      std::span<const Number4> before) noexcept;

// A draw of the table with four digits and its payouts, for the classes.
struct PaidDraw {
    std::int32_t draw = 0;
    Number4 drawn{};
    NumberClasses classes;
    std::optional<double> straightRatio;  // straight payout / the pattern's theoretical amount
    std::optional<double> boxRatio;       // box likewise (never for a quad)
};

// The table's draws with four digits, each with its classes (recent among
// the table's draws before it) and the ratios of the payouts it has
// (`payouts` one entry per draw of the table; a draw without is kept
// without ratios). May throw std::bad_alloc.
[[nodiscard]] std::vector<PaidDraw> PaidDraws(const DrawTable& table,
                                              std::span<const DrawPayouts> payouts);

// A mean with its 95 % interval (mean +- 1.96 standard errors; no interval
// below two values).
struct RatioSummary {
    std::size_t count = 0;
    double mean = 0.0;
    double low = 0.0;
    double high = 0.0;
};
[[nodiscard]] RatioSummary Summarise(std::span<const double> values) noexcept;

// One row of the class table: the draws of one class value.
enum class ClassKind { All, Pattern, Date, Run, Recent };
struct ClassRow {
    ClassKind kind = ClassKind::All;
    int value = 0;  // the Pattern for kind Pattern; 1 / 0 (yes / no) for the others
    RatioSummary straight;
    RatioSummary box;
    RatioSummary firstHalf;   // straight, over the first half of the draws with a straight ratio
    RatioSummary secondHalf;  // and over the second half
};

// Whether the draw's classes have that value.
[[nodiscard]] bool InClass(const NumberClasses& classes, ClassKind kind, int value) noexcept;

// The rows: all, the five patterns, date yes/no, run yes/no, recent yes/no.
[[nodiscard]] std::vector<ClassRow> ClassTable(std::span<const PaidDraw> draws);

// The command line's and JSON's name of a kind ("all", "pattern", "date",
// "run", "recent").
[[nodiscard]] std::string_view NameOf(ClassKind kind) noexcept;

}  // namespace corvalith::evaluate
