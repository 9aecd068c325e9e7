// The game's rules for one ticket: what it costs, which drawn numbers it
// wins on and what it pays at the theoretical amounts. One function per
// rule; the amounts are a table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

#include "history/draw_payouts.h"

namespace corvalith::evaluate {

inline constexpr std::int64_t kTicketPrice = 200;  // yen per ticket
inline constexpr int kNumbers = 10000;             // four-digit numbers 0000 .. 9999

// Four digits 0-9, thousands first.
using Number4 = std::array<std::uint8_t, 4>;

// The pattern of a number by its repeated digits: single 1234, double 1123,
// double-double 1122, triple 1112, quad 1111.
enum class Pattern { Single, Double, DoubleDouble, Triple, Quad };

// straight: all four digits in order; box: the same digits in any order;
// set: half a straight ticket and half a box ticket.
enum class BetType { Straight, Box, Set };

inline constexpr BetType kAllBetTypes[] = {BetType::Straight, BetType::Box, BetType::Set};
inline constexpr std::size_t kBetTypeCount = std::size(kAllBetTypes);

// How a ticket won: not at all, as a straight (a set's straight part), or as
// a box (a set's box part).
enum class Win { None, Straight, Box };

// The published theoretical amounts per 200-yen ticket, in yen, by the
// pattern of the drawn number; 0 where the type is not sold (a quad cannot be
// played box or set). `boxOrders` is how many numbers a box ticket of that
// pattern wins on.
struct PatternAmounts {
    Pattern pattern;
    int boxOrders;
    std::int64_t straight;
    std::int64_t box;
    std::int64_t setStraight;
    std::int64_t setBox;
};
inline constexpr std::array<PatternAmounts, 5> kPatternAmounts = {{
    {Pattern::Single, 24, 900'000, 37'500, 468'700, 18'700},
    {Pattern::Double, 12, 900'000, 75'000, 487'500, 37'500},
    {Pattern::DoubleDouble, 6, 900'000, 150'000, 525'000, 75'000},
    {Pattern::Triple, 4, 900'000, 225'000, 562'500, 112'500},
    {Pattern::Quad, 1, 900'000, 0, 0, 0},
}};

// What a ticket returns on average at the theoretical amounts, whatever its
// type and number: 45 % of the price.
inline constexpr double kTheoreticalReturnRate =
    static_cast<double>(kPatternAmounts[0].straight) / kNumbers / static_cast<double>(kTicketPrice);

// The number n (0 .. 9999) as four digits, and back.
[[nodiscard]] Number4 DigitsOf(int n) noexcept;
[[nodiscard]] int NumberOf(const Number4& digits) noexcept;

[[nodiscard]] Pattern PatternOf(const Number4& number) noexcept;
[[nodiscard]] const PatternAmounts& AmountsOf(Pattern pattern) noexcept;

// The number of orders of the digits of a number of that pattern (24, 12, 6, 4, 1).
[[nodiscard]] int BoxOrders(Pattern pattern) noexcept;

// Whether `pick` wins straight (the same digits in the same order) or box
// (the same digits in any order) on `drawn`.
// The digits of a number regardless of order: each digit's count (at most
// 4) in three bits, so that two numbers have the same key exactly when one is
// an order of the other.
[[nodiscard]] constexpr std::uint32_t DigitsKey(const Number4& number) noexcept {
    std::uint32_t key = 0;
    for (const std::uint8_t d : number) key += 1u << (3u * (d < 9 ? d : 9u));
    return key;
}

[[nodiscard]] bool IsStraightWin(const Number4& pick, const Number4& drawn) noexcept;
[[nodiscard]] bool IsBoxWin(const Number4& pick, const Number4& drawn) noexcept;

// The type a ticket of `type` on `pick` is played as: a quad pick is played
// straight (box and set are not sold for it).
[[nodiscard]] BetType PlayedAs(BetType type, const Number4& pick) noexcept;

struct Payout {
    std::int64_t yen = 0;
    Win win = Win::None;
};
// What one ticket of `type` on `pick` pays when `drawn` is drawn (played as PlayedAs).
[[nodiscard]] Payout PayoutOf(BetType type, const Number4& pick, const Number4& drawn) noexcept;

// The chance that one ticket of `type` on `pick` wins anything when every
// number is equally likely: 1 / 10,000 straight, BoxOrders / 10,000 box or set.
[[nodiscard]] double WinChance(BetType type, const Number4& pick) noexcept;

// The ticket's expected payout in yen when every number is equally likely
// (about 90: 45 % of the price).
[[nodiscard]] double ExpectedPayout(BetType type, const Number4& pick) noexcept;

// The amounts a money record is counted at: `Auto` is real when every
// evaluated draw has the amounts its tickets need, else theoretical.
enum class PayoutMode { Auto, Real, Theoretical };
inline constexpr PayoutMode kAllPayoutModes[] = {PayoutMode::Auto, PayoutMode::Real,
                                                 PayoutMode::Theoretical};
[[nodiscard]] std::string_view NameOf(PayoutMode mode) noexcept;
[[nodiscard]] std::optional<PayoutMode> PayoutModeNamed(std::string_view name) noexcept;

// Whether `paid` lacks an amount a ticket of `type` could be paid when
// `drawn` is drawn: a quad drawn needs the straight amount (only a quad pick
// played straight wins on it); otherwise straight needs the straight amount,
// box the box amount, set both set amounts.
[[nodiscard]] bool LacksPayouts(BetType type, const Number4& drawn,
                                const DrawPayouts& paid) noexcept;

// PayoutOf at the draw's real amounts `paid`: a straight win pays the
// straight amount (a set's the set-straight amount), a box win the box
// amount (a set's the set-box amount); a quad pick played straight the
// straight amount. An amount `paid` lacks is the theoretical one.
[[nodiscard]] Payout RealPayoutOf(BetType type, const Number4& pick, const Number4& drawn,
                                  const DrawPayouts& paid) noexcept;

// What one ticket of `type` on a uniformly random number earns on average
// when `drawn` is drawn and paid `paid` (theoretical where it lacks an
// amount): the straight amount / 10,000 on a quad; otherwise straight the
// straight amount / 10,000, box the box amount x the drawn number's orders
// / 10,000, set (set-straight + set-box x (orders - 1)) / 10,000.
[[nodiscard]] double ChanceExpectedPayout(BetType type, const Number4& drawn,
                                          const DrawPayouts& paid) noexcept;

// The command line's names ("straight", "box", "set"), the JSON's names of
// the patterns ("single", "double", "double_double", "triple", "quad") and
// the Japanese names of both.
[[nodiscard]] std::string_view NameOf(BetType type) noexcept;
[[nodiscard]] std::optional<BetType> BetTypeNamed(std::string_view name) noexcept;
[[nodiscard]] std::string_view JapaneseNameOf(BetType type) noexcept;
[[nodiscard]] std::string_view NameOf(Pattern pattern) noexcept;
[[nodiscard]] std::string_view JapaneseNameOf(Pattern pattern) noexcept;

// The four digits as text, "0123".
[[nodiscard]] std::array<char, 5> TextOf(const Number4& number) noexcept;

}  // namespace corvalith::evaluate
