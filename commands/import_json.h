// The JSON form of an import source and the pieces the source readers share.
// Only the import's own readers include this.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/import_sources.h"

namespace corvalith {

// Whether the bytes (after any byte-order mark) start, past blanks, with `[` or `{`.
[[nodiscard]] bool LooksLikeJson(std::string_view bytes) noexcept;

// Appends the draws of a JSON source: an array of draw objects or one draw
// object, each with `draw_no`, `date` or `draw_date`, the result as
// `winning_number`, `digits` or `result` {`values`, `display`}, and an
// optional `prize` {`straight`, `box`, `set_straight`, `set_box`} of numbers
// or null; other members are skipped. On a syntax error: false and `error`
// names the line and byte; on a draw object without a field: its index.
// May throw std::bad_alloc.
[[nodiscard]] bool ReadJsonSource(const ImportSource& source, std::string_view bytes,
                                  std::uint32_t firstLine, std::vector<SourceDraw>& draws,
                                  std::u16string& error);

// Why a payout of kind `kind` (PayoutKind order) cannot be read.
[[nodiscard]] std::u16string PayoutError(std::size_t kind, std::u16string_view text);

// The source's name as shown, for the start of an error.
[[nodiscard]] std::u16string SourceNameShown(const ImportSource& source);

}  // namespace corvalith
