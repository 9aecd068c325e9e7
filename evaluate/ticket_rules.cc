// The ticket rules: the pattern from the sorted digits, wins by comparison,
// payouts from the amounts table.
#include "evaluate/ticket_rules.h"

#include <algorithm>

namespace corvalith::evaluate {
namespace {

Number4 Sorted(Number4 number) noexcept {
    std::sort(number.begin(), number.end());
    return number;
}

}  // namespace

Number4 DigitsOf(int n) noexcept {
    n = std::clamp(n, 0, kNumbers - 1);
    return {static_cast<std::uint8_t>(n / 1000), static_cast<std::uint8_t>(n / 100 % 10),
            static_cast<std::uint8_t>(n / 10 % 10), static_cast<std::uint8_t>(n % 10)};
}

int NumberOf(const Number4& digits) noexcept {
    return ((digits[0] * 10 + digits[1]) * 10 + digits[2]) * 10 + digits[3];
}

Pattern PatternOf(const Number4& number) noexcept {
    // The lengths of the runs of equal digits, once sorted.
    const Number4 sorted = Sorted(number);
    int runs = 1;
    int longest = 1;
    int current = 1;
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        if (sorted[i] == sorted[i - 1]) {
            longest = std::max(longest, ++current);
        } else {
            ++runs;
            current = 1;
        }
    }
    switch (longest) {
        case 4:
            return Pattern::Quad;
        case 3:
            return Pattern::Triple;
        case 2:
            return runs == 2 ? Pattern::DoubleDouble : Pattern::Double;
        default:
            return Pattern::Single;
    }
}

const PatternAmounts& AmountsOf(Pattern pattern) noexcept {
    for (const PatternAmounts& amounts : kPatternAmounts) {
        if (amounts.pattern == pattern) return amounts;
    }
    return kPatternAmounts.back();
}

int BoxOrders(Pattern pattern) noexcept { return AmountsOf(pattern).boxOrders; }

bool IsStraightWin(const Number4& pick, const Number4& drawn) noexcept { return pick == drawn; }

bool IsBoxWin(const Number4& pick, const Number4& drawn) noexcept {
    return DigitsKey(pick) == DigitsKey(drawn);
}

BetType PlayedAs(BetType type, const Number4& pick) noexcept {
    return PatternOf(pick) == Pattern::Quad ? BetType::Straight : type;
}

Payout PayoutOf(BetType type, const Number4& pick, const Number4& drawn) noexcept {
    const bool straight = IsStraightWin(pick, drawn);
    // Most tickets lose: no win of any kind without the same digits.
    if (!straight && (type == BetType::Straight || !IsBoxWin(pick, drawn))) return {};
    const PatternAmounts& amounts = AmountsOf(PatternOf(pick));
    switch (PlayedAs(type, pick)) {
        case BetType::Straight:
            if (straight) return {amounts.straight, Win::Straight};
            break;
        case BetType::Box:
            if (IsBoxWin(pick, drawn)) return {amounts.box, Win::Box};
            break;
        case BetType::Set:
            if (straight) return {amounts.setStraight, Win::Straight};
            if (IsBoxWin(pick, drawn)) return {amounts.setBox, Win::Box};
            break;
    }
    return {};
}

double WinChance(BetType type, const Number4& pick) noexcept {
    const int orders = PlayedAs(type, pick) == BetType::Straight ? 1 : BoxOrders(PatternOf(pick));
    return orders / static_cast<double>(kNumbers);
}

double ExpectedPayout(BetType type, const Number4& pick) noexcept {
    const PatternAmounts& amounts = AmountsOf(PatternOf(pick));
    double yen = 0.0;
    switch (PlayedAs(type, pick)) {
        case BetType::Straight:
            yen = static_cast<double>(amounts.straight);
            break;
        case BetType::Box:
            yen = static_cast<double>(amounts.box * amounts.boxOrders);
            break;
        case BetType::Set:
            yen =
                static_cast<double>(amounts.setStraight + amounts.setBox * (amounts.boxOrders - 1));
            break;
    }
    return yen / kNumbers;
}

namespace {

std::int64_t Paid(const DrawPayouts& paid, PayoutKind kind, std::int64_t theoretical) noexcept {
    return paid[kind].value_or(theoretical);
}

}  // namespace

std::string_view NameOf(PayoutMode mode) noexcept {
    switch (mode) {
        case PayoutMode::Auto:
            return "auto";
        case PayoutMode::Real:
            return "real";
        case PayoutMode::Theoretical:
            return "theoretical";
    }
    return "";
}

std::optional<PayoutMode> PayoutModeNamed(std::string_view name) noexcept {
    for (const PayoutMode mode : kAllPayoutModes) {
        if (NameOf(mode) == name) return mode;
    }
    return std::nullopt;
}

bool LacksPayouts(BetType type, const Number4& drawn, const DrawPayouts& paid) noexcept {
    if (PatternOf(drawn) == Pattern::Quad) return !paid[PayoutKind::Straight];
    switch (type) {
        case BetType::Straight:
            return !paid[PayoutKind::Straight];
        case BetType::Box:
            return !paid[PayoutKind::Box];
        case BetType::Set:
            return !paid[PayoutKind::SetStraight] || !paid[PayoutKind::SetBox];
    }
    return true;
}

Payout RealPayoutOf(BetType type, const Number4& pick, const Number4& drawn,
                    const DrawPayouts& paid) noexcept {
    const Payout theoretical = PayoutOf(type, pick, drawn);
    if (theoretical.win == Win::None) return theoretical;
    const bool straight = theoretical.win == Win::Straight;
    PayoutKind kind = PayoutKind::Straight;
    switch (PlayedAs(type, pick)) {
        case BetType::Straight:
            kind = PayoutKind::Straight;
            break;
        case BetType::Box:
            kind = PayoutKind::Box;
            break;
        case BetType::Set:
            kind = straight ? PayoutKind::SetStraight : PayoutKind::SetBox;
            break;
    }
    return {Paid(paid, kind, theoretical.yen), theoretical.win};
}

double ChanceExpectedPayout(BetType type, const Number4& drawn, const DrawPayouts& paid) noexcept {
    const PatternAmounts& amounts = AmountsOf(PatternOf(drawn));
    double yen = 0.0;
    if (amounts.pattern == Pattern::Quad || type == BetType::Straight) {
        yen = static_cast<double>(Paid(paid, PayoutKind::Straight, amounts.straight));
    } else if (type == BetType::Box) {
        yen = static_cast<double>(Paid(paid, PayoutKind::Box, amounts.box) * amounts.boxOrders);
    } else {
        yen = static_cast<double>(Paid(paid, PayoutKind::SetStraight, amounts.setStraight) +
                                  Paid(paid, PayoutKind::SetBox, amounts.setBox) *
                                      (amounts.boxOrders - 1));
    }
    return yen / kNumbers;
}

std::string_view NameOf(BetType type) noexcept {
    switch (type) {
        case BetType::Straight:
            return "straight";
        case BetType::Box:
            return "box";
        case BetType::Set:
            return "set";
    }
    return "";
}

std::optional<BetType> BetTypeNamed(std::string_view name) noexcept {
    for (const BetType type : kAllBetTypes) {
        if (NameOf(type) == name) return type;
    }
    return std::nullopt;
}

std::string_view JapaneseNameOf(BetType type) noexcept {
    switch (type) {
        case BetType::Straight:
            return "ストレート";
        case BetType::Box:
            return "ボックス";
        case BetType::Set:
            return "セット";
    }
    return "";
}

std::string_view NameOf(Pattern pattern) noexcept {
    switch (pattern) {
        case Pattern::Single:
            return "single";
        case Pattern::Double:
            return "double";
        case Pattern::DoubleDouble:
            return "double_double";
        case Pattern::Triple:
            return "triple";
        case Pattern::Quad:
            return "quad";
    }
    return "";
}

std::string_view JapaneseNameOf(Pattern pattern) noexcept {
    switch (pattern) {
        case Pattern::Single:
            return "シングル";
        case Pattern::Double:
            return "ダブル";
        case Pattern::DoubleDouble:
            return "ダブルダブル";
        case Pattern::Triple:
            return "トリプル";
        case Pattern::Quad:
            return "クワッド";
    }
    return "";
}

std::array<char, 5> TextOf(const Number4& number) noexcept {
    std::array<char, 5> text{};
    for (std::size_t i = 0; i < number.size(); ++i) {
        text[i] = static_cast<char>('0' + std::min<int>(number[i], 9));
    }
    return text;
}

}  // namespace corvalith::evaluate
