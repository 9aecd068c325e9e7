// Changing a history without ever losing it: the whole file is read under a
// lock and must load, the new content is checked, written to a temporary file
// beside it, flushed, read back, and renamed over the history only if the
// history is still the file that was read; then the directory is flushed.
// Any failure leaves the history byte for byte as it was and no file beside it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "history/draw_history.h"
#include "history/file_system.h"
#include "history/history_image.h"

namespace corvalith {

enum class WriteStatus {
    Ok,
    NotFound,    // nothing at the path
    NotRegular,  // a directory, FIFO, device …
    Unreadable,  // the history does not load
    ReadOnly,    // the history has no write permission
    Exists,      // a new history was asked for, but the path is taken
    TooLarge,    // the new content would be beyond the reader's limits
    Refused,     // the edit refused the change (its own reasons)
    Changed,     // another program changed the history meanwhile
    Failed,      // a step of the write failed (`step`, `error`)
};

struct WriteOutcome {
    WriteStatus status = WriteStatus::Failed;
    FileStep step = FileStep::OpenHistory;  // for Failed
    int error = 0;                          // errno of the failed step
};

// A draw the new content must hold at `index` of its draw lines.
struct ExpectedDraw {
    std::size_t index = 0;
    std::int32_t number = 0;
    ResultCharacters result{};
};

// What an edit makes of the history it is given. Draws at indices the old
// history has are as they were unless listed in `changed`; the draws after
// them are in `changed` too or, for many appended draws, described by
// `appendedCount` and `appendedDraw` without a record of each.
struct EditPlan {
    std::string bytes;                  // the whole new content
    std::size_t drawCount = 0;          // draw lines it must have
    std::vector<ExpectedDraw> changed;  // the draws that differ from the old ones (by index)
    std::size_t appendedCount = 0;      // draws from the old draw count on, not in `changed`
    // The k-th of them (k < appendedCount): its draw number and result.
    std::function<ExpectedDraw(std::size_t k)> appendedDraw;
};

// Returns false to refuse the change (the edit keeps its reasons). Called once
// per attempt, under the lock, with the history as read.
using HistoryEdit = std::function<bool(const HistoryImage& history, EditPlan& plan)>;

// Prefix of the names of the writer's temporary files beside a history
// `NAME`: `.NAME.corvix-tmp-PID-…` and `.NAME.corvix-old-PID-…`. A file of
// this form whose process is gone is removed by the next write.
[[nodiscard]] std::string TemporaryPrefix(const std::string& historyName);

// Reads the history at `path` (followed through symbolic links: the target is
// written, the link stays), runs `edit`, checks the plan (every draw not in
// `changed` as it was, `changed` and the appended draws as given, `drawCount`
// draws, within `limits`; the lines the new content shares with the old at its
// start are not read again)
// and, unless `dryRun`, writes it in place as described above. Permission
// bits are kept, and owner and group when the process may set them. Never throws.
[[nodiscard]] WriteOutcome UpdateHistory(FileSystem& fs, const std::string& path,
                                         const HistoryEdit& edit, bool dryRun,
                                         const HistoryLimits& limits = kHistoryLimits) noexcept;

// Writes `bytes` as a new file at `path` the same way; Exists when anything
// (also a dangling link) is at the path, then or at the moment it is put in
// place. Never throws.
[[nodiscard]] WriteOutcome CreateHistory(FileSystem& fs, const std::string& path,
                                         const std::string& bytes) noexcept;

}  // namespace corvalith
