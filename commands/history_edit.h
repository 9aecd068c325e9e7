// Keeping the history current, without a window: add one result, import
// results from other files or pasted text, start a new history. Every change
// goes through UpdateHistory (history/safe_write.h), so a refusal or a failure
// leaves the file byte for byte as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/import_sources.h"
#include "history/draw_payouts.h"
#include "history/file_system.h"
#include "history/safe_write.h"

namespace corvalith {

enum class EditStatus {
    Ok,
    NoPath,       // no history named
    NotFound,     // nothing at the path
    NotRegular,   // a directory, FIFO …
    Unreadable,   // the history does not load
    ReadOnly,     // the history may not be written
    Exists,       // init: the path is taken
    Refused,      // the change breaks a rule (message says which)
    Conflict,     // import: a draw with two results (message lists them)
    SourceError,  // import: a line of a source cannot be read
    TooLarge,     // beyond the reader's limits
    Changed,      // another program changed the history meanwhile: try again
    WriteFailed,  // a step of the write failed
};

struct AddRequest {
    std::string historyPath;           // file-system bytes
    std::u16string result;             // four digits, ASCII or full-width
    std::optional<std::int32_t> draw;  // unset: the proposed next draw
    std::u16string date;               // empty: today
    bool replace = false;              // change an existing draw's result (and date)
    bool allowGap = false;
    bool dryRun = false;
    DrawPayouts payouts{};  // the draw's real payouts, where known (added or replacing)
};

struct ImportRequest {
    std::string historyPath;
    std::vector<ImportSource> sources;
    bool allowGap = false;
    bool dryRun = false;
    bool wantRows = false;  // fill ImportOutcome::rows (for a preview)
    // Where a source disagrees with the history (result or payouts), keep the
    // history's line and import the rest; the kept draws are listed.
    bool keepMine = false;
};

// New: a draw the history lacks; Unchanged: the same draw as the history's;
// PayoutsAdded: the history's draw, which gains the source's payouts;
// Conflict: a draw with two results or two sets of payouts; KeptMine: such a
// draw where the history's line is kept (keepMine).
enum class RowKind { New, Unchanged, PayoutsAdded, Conflict, KeptMine };

// One draw of the sources as the merge sees it.
struct ImportRow {
    std::int32_t number = 0;
    CalendarDate date;
    ResultDigits result{};
    RowKind kind = RowKind::New;
    // Conflict, KeptMine: the result it disagrees with; PayoutsAdded: the
    // history's result (the same)
    std::optional<ResultDigits> other;
    DrawPayouts payouts{};  // the source's payouts
};

struct MissingDraws {
    std::int32_t first = 0;
    std::int32_t last = 0;
};

struct EditOutcome {
    EditStatus status = EditStatus::WriteFailed;
    std::u16string message;  // failures: one line (conflicts: one line each, up to ten)
    WriteOutcome write;      // the writer's own outcome
    bool dryRun = false;
    std::int32_t highest = 0;  // the highest draw afterwards (0: none)
    // add: the line written or changed, without its line end
    std::u16string line;
    bool replaced = false;
    // import (add counts as one added draw)
    std::size_t added = 0;
    std::int32_t firstAdded = 0;
    std::int32_t lastAdded = 0;
    std::size_t unchanged = 0;
    std::size_t conflicts = 0;
    std::size_t payoutsAdded = 0;        // history draws that gained payouts
    std::vector<std::int32_t> keptMine;  // keepMine: draws where the history's line stayed
    std::vector<MissingDraws> gaps;      // missing draws allowed by allowGap, or refused
    std::vector<ImportRow> rows;         // when wantRows: every distinct draw, in draw order
};

// Never throw.
[[nodiscard]] EditOutcome AddResult(const AddRequest& request,
                                    FileSystem& fs = SystemFileSystem()) noexcept;
// The sources' bytes are released once they are read, so an import holds
// its sources and the new history at once only while it reads them.
[[nodiscard]] EditOutcome ImportResults(ImportRequest request,
                                        FileSystem& fs = SystemFileSystem()) noexcept;
// A history holding only the header line.
[[nodiscard]] EditOutcome InitHistory(const std::string& historyPath,
                                      FileSystem& fs = SystemFileSystem()) noexcept;

}  // namespace corvalith
