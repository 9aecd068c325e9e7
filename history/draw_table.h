// The draws of a history in file order with their draw numbers: what the
// walk-forward evaluation reads.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvalith {

inline constexpr std::size_t kPositionCount = 4;  // thousands, hundreds, tens, ones

// One entry per draw line, first line first. values[p][i] is the value
// LoadDrawHistory gives position p of draw i (the character's code minus '0', so 0-9
// for digits and anything else for other characters).
struct DrawTable {
    std::vector<std::int32_t> numbers;  // the N of 第N回
    std::array<std::vector<double>, kPositionCount> values;

    [[nodiscard]] std::size_t size() const noexcept { return numbers.size(); }
};

// Whether a value of the table stands for a digit: a whole number from 0 to 9
// (NaN and every other value are not).
[[nodiscard]] constexpr bool IsDigitValue(double value) noexcept {
    return value >= 0.0 && value <= 9.0 && static_cast<double>(static_cast<int>(value)) == value;
}

// Reads the history at `path` (file-system bytes) under the same rules and
// limits as LoadDrawHistory. Returns 0 and fills `table`, or with `table`
// untouched -2 when memory ran out and -5 on any other failure. Never throws.
[[nodiscard]] int LoadDrawTable(const std::string& path, DrawTable& table) noexcept;

// Told, while a history loads, the bytes read so far and the file's size
// (each time more were read); answering false stops the load, which then
// fails.
using LoadProgress = std::function<bool(std::size_t read, std::size_t size)>;

// LoadDrawTable telling `progress` how far the read is; -5 also when it
// answered false. Never throws (what `progress` throws fails the load).
[[nodiscard]] int LoadDrawTable(const std::string& path, DrawTable& table,
                                const LoadProgress& progress) noexcept;

// The first draw whose number is not above the one before it.
struct OrderViolation {
    std::size_t line = 0;       // 1-based line of the file (the header is line 1)
    std::int32_t previous = 0;  // the draw number on the line before
    std::int32_t current = 0;   // the draw number on `line`
};

// Nothing when the draw numbers rise strictly in file order.
[[nodiscard]] std::optional<OrderViolation> FindOrderViolation(const DrawTable& table) noexcept;

}  // namespace corvalith
