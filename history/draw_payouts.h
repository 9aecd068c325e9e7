// The real payouts a draw line may carry after its five fields: the straight,
// box, set-straight and set-box amounts of that draw in yen per 200-yen
// ticket, each a field of decimal digits or empty where the amount is not
// known or was not sold (the box and set of a quad). The forecast reader
// never looks past field 5; everything that needs the amounts reads them here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalith {

class DrawFields;

// The kinds of payout, in the order of their fields.
enum class PayoutKind { Straight, Box, SetStraight, SetBox };
inline constexpr std::size_t kPayoutKindCount = 4;
// The first of the four payout fields, counted from 0.
inline constexpr std::size_t kFirstPayoutField = 5;
// The largest amount a payout field may hold.
inline constexpr std::int64_t kMaxPayoutYen = 99'999'999;

// The header names of the payout fields, in field order.
inline constexpr std::array<std::u16string_view, kPayoutKindCount> kPayoutHeaderNames = {
    u"ストレート", u"ボックス", u"セット（ストレート）", u"セット（ボックス）"};

struct DrawPayouts {
    std::array<std::optional<std::int64_t>, kPayoutKindCount> amounts;

    [[nodiscard]] const std::optional<std::int64_t>& operator[](PayoutKind kind) const noexcept {
        return amounts[static_cast<std::size_t>(kind)];
    }
    [[nodiscard]] std::optional<std::int64_t>& operator[](PayoutKind kind) noexcept {
        return amounts[static_cast<std::size_t>(kind)];
    }
    // Whether at least one amount is known.
    [[nodiscard]] bool Any() const noexcept;
    friend bool operator==(const DrawPayouts&, const DrawPayouts&) = default;
};

// A payout field that is present but holds no amount the rules allow.
struct PayoutProblem {
    std::size_t line = 0;   // 1-based line of the file (the header is line 1)
    std::size_t field = 0;  // 1-based field of the line (6 to 9)
    std::u16string text;    // the field as read, quotes removed
};

// One payout field: empty gives no amount; ASCII digits only, at most
// kMaxPayoutYen, give the amount; anything else is refused (false).
[[nodiscard]] bool ParsePayoutField(std::u16string_view field,
                                    std::optional<std::int64_t>& amount) noexcept;

// The payouts of one split draw line. A line of five fields has none. On a
// field that ParsePayoutField refuses: false, `badField` its 0-based index.
[[nodiscard]] bool ReadPayoutFields(const DrawFields& fields, DrawPayouts& payouts,
                                    std::size_t& badField) noexcept;

// The payouts of every draw line of the history at `path`, one entry per line
// in file order, as LoadDrawTable's draws. Returns 0 and fills `payouts`;
// -2 when memory ran out; -5 when the file does not read as a history or a
// payout field is malformed, `problem` (when not null) then naming that field
// (its line is 0 when the failure was not a payout field's). `payouts` is
// untouched on failure. Never throws.
[[nodiscard]] int LoadDrawPayouts(const std::string& path, std::vector<DrawPayouts>& payouts,
                                  PayoutProblem* problem = nullptr) noexcept;

}  // namespace corvalith
