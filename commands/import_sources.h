// The results an import reads, recognised by their content: the history
// format itself (code page 932 or UTF-8, with or without a byte-order mark),
// CSV or TSV with a header naming the draw, date and result columns (in
// Japanese or English, payout columns beside them), JSON draw objects, or
// plain pasted lines `第7055回 2026/8/24 1234`. Payouts come along wherever
// a form carries them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "history/draw_payouts.h"
#include "history/draw_writer.h"

namespace corvalith {

struct ImportSource {
    std::string name;   // as shown in messages ("-" for standard input), UTF-8
    std::string bytes;  // the whole content
};

enum class SourceForm { History, Table, Lines, Json };

struct SourceDraw {
    std::int32_t number = 0;
    std::uint32_t dateKey = 0;  // yyyymmdd, a calendar date
    ResultDigits result{};
    // Where it came from: `firstLine` of its source plus its 1-based line
    // there (a JSON source: its first line). One number for both keeps a draw small.
    std::uint32_t line = 0;
    // The payouts in PayoutKind order, kNoPayout where the source has none.
    std::array<std::int32_t, kPayoutKindCount> payouts{kNoPayout, kNoPayout, kNoPayout, kNoPayout};

    static constexpr std::int32_t kNoPayout = -1;
    [[nodiscard]] DrawPayouts Payouts() const noexcept;
    void SetPayouts(const DrawPayouts& amounts) noexcept;
};

// Appends the draws of `source` to `draws`, their lines counted from
// `firstLine` (the lines of the sources before it, so that the source can be
// told by its line).
// On a line that cannot be read: false, `error` says which line and why (the
// draws appended so far stay). May throw std::bad_alloc.
[[nodiscard]] bool ReadSource(const ImportSource& source, std::uint32_t firstLine,
                              std::vector<SourceDraw>& draws, SourceForm& form,
                              std::u16string& error);

// The largest source a JSON form is read from, and how deep its values may nest.
inline constexpr std::size_t kMaxJsonSourceBytes = std::size_t{64} << 20;
inline constexpr std::size_t kMaxJsonDepth = 16;

[[nodiscard]] CalendarDate DateOfKey(std::uint32_t key) noexcept;

}  // namespace corvalith
