// The classes by comparison of digits and a calendar; the summaries by
// plain sums.
#include "evaluate/payout_classes.h"

#include <algorithm>
#include <cmath>

namespace corvalith::evaluate {
namespace {

constexpr double kInterval95 = 1.959963984540054;

std::optional<double> Ratio(const std::optional<std::int64_t>& paid, std::int64_t theoretical) {
    if (!paid || theoretical <= 0) return std::nullopt;
    return static_cast<double>(*paid) / static_cast<double>(theoretical);
}

}  // namespace

bool IsMonthDay(const Number4& number) noexcept {
    static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int month = number[0] * 10 + number[1];
    const int day = number[2] * 10 + number[3];
    return month >= 1 && month <= 12 && day >= 1 &&
           day <= kDays[static_cast<std::size_t>(month - 1)];
}

bool IsRun(const Number4& number) noexcept {
    bool up = true;
    bool down = true;
    for (std::size_t i = 1; i < number.size(); ++i) {
        up = up && number[i] == number[i - 1] + 1;
        down = down && number[i] + 1 == number[i - 1];
    }
    return up || down;
}

NumberClasses ClassesOf(const Number4& number, std::span<const Number4> before) noexcept {
    NumberClasses classes;
    classes.pattern = PatternOf(number);
    classes.date = IsMonthDay(number);
    classes.run = IsRun(number);
    const std::size_t from = before.size() > kRecentDraws ? before.size() - kRecentDraws : 0;
    classes.recent = std::find(before.begin() + static_cast<std::ptrdiff_t>(from), before.end(),
                               number) != before.end();
    return classes;
}

std::vector<PaidDraw> PaidDraws(const DrawTable& table, std::span<const DrawPayouts> payouts) {
    std::vector<PaidDraw> draws;
    std::vector<Number4> before;
    for (std::size_t j = 0; j < table.size(); ++j) {
        Number4 drawn{};
        bool all = true;
        for (std::size_t p = 0; p < drawn.size() && all; ++p) {
            const double value = table.values[p][j];
            all = IsDigitValue(value);
            if (all) drawn[p] = static_cast<std::uint8_t>(value);
        }
        if (!all) continue;
        PaidDraw draw;
        draw.draw = table.numbers[j];
        draw.drawn = drawn;
        draw.classes = ClassesOf(drawn, before);
        if (j < payouts.size()) {
            const PatternAmounts& amounts = AmountsOf(draw.classes.pattern);
            draw.straightRatio = Ratio(payouts[j][PayoutKind::Straight], amounts.straight);
            draw.boxRatio = Ratio(payouts[j][PayoutKind::Box], amounts.box);
        }
        draws.push_back(draw);
        before.push_back(drawn);
    }
    return draws;
}

RatioSummary Summarise(std::span<const double> values) noexcept {
    RatioSummary summary;
    summary.count = values.size();
    if (values.empty()) return summary;
    double sum = 0.0;
    for (const double v : values) sum += v;
    summary.mean = sum / static_cast<double>(values.size());
    summary.low = summary.high = summary.mean;
    if (values.size() < 2) return summary;
    double squares = 0.0;
    for (const double v : values) squares += (v - summary.mean) * (v - summary.mean);
    const double n = static_cast<double>(values.size());
    const double error = std::sqrt(squares / (n - 1.0) / n);
    summary.low = summary.mean - kInterval95 * error;
    summary.high = summary.mean + kInterval95 * error;
    return summary;
}

bool InClass(const NumberClasses& classes, ClassKind kind, int value) noexcept {
    switch (kind) {
        case ClassKind::All:
            return true;
        case ClassKind::Pattern:
            return static_cast<int>(classes.pattern) == value;
        case ClassKind::Date:
            return classes.date == (value != 0);
        case ClassKind::Run:
            return classes.run == (value != 0);
        case ClassKind::Recent:
            return classes.recent == (value != 0);
    }
    return false;
}

std::vector<ClassRow> ClassTable(std::span<const PaidDraw> draws) {
    std::vector<std::pair<ClassKind, int>> rows = {{ClassKind::All, 0}};
    for (const PatternAmounts& amounts : kPatternAmounts) {
        rows.emplace_back(ClassKind::Pattern, static_cast<int>(amounts.pattern));
    }
    for (const ClassKind kind : {ClassKind::Date, ClassKind::Run, ClassKind::Recent}) {
        rows.emplace_back(kind, 1);
        rows.emplace_back(kind, 0);
    }
    std::size_t withStraight = 0;
    for (const PaidDraw& draw : draws) withStraight += draw.straightRatio ? 1 : 0;
    const std::size_t half = (withStraight + 1) / 2;  // the first half takes the odd one

    std::vector<ClassRow> table;
    for (const auto& [kind, value] : rows) {
        std::vector<double> straight;
        std::vector<double> box;
        std::vector<double> first;
        std::vector<double> second;
        std::size_t seen = 0;
        for (const PaidDraw& draw : draws) {
            if (!draw.straightRatio && !draw.boxRatio) continue;
            const bool in = InClass(draw.classes, kind, value);
            if (draw.straightRatio) {
                if (in) {
                    straight.push_back(*draw.straightRatio);
                    (seen < half ? first : second).push_back(*draw.straightRatio);
                }
                ++seen;
            }
            if (in && draw.boxRatio) box.push_back(*draw.boxRatio);
        }
        table.push_back({kind, value, Summarise(straight), Summarise(box), Summarise(first),
                         Summarise(second)});
    }
    return table;
}

std::string_view NameOf(ClassKind kind) noexcept {
    switch (kind) {
        case ClassKind::All:
            return "all";
        case ClassKind::Pattern:
            return "pattern";
        case ClassKind::Date:
            return "date";
        case ClassKind::Run:
            return "run";
        case ClassKind::Recent:
            return "recent";
    }
    return "";
}

}  // namespace corvalith::evaluate
