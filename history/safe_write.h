// Changing a history without ever losing it: the whole file is read under a
// lock and must load, the new content is checked, written to a temporary file
// beside it, flushed, read back, and renamed over the history only if the
// history is still the file that was read; then the directory is flushed.
//
// What the disk holds after a failure at each step, and what the user is told
// (the words are in commands/history_messages.cc):
//
//  1. OpenHistory (realpath, open, fstat), Lock, ReadHistory, Access: nothing
//     has been created. NotFound, NotRegular, Unreadable, ReadOnly, Locked
//     (another writer kept the lock beyond the wait), or Failed with the step
//     and errno — "履歴は変わっていません".
//  2. The edit and the check of its plan: nothing has been created. Refused,
//     TooLarge, PlanDoesNotLoad, PlanDiffers, OutOfMemory, Internal — each
//     with its own words; the history is unchanged.
//  3. CleanUp (listing and removing the files a killed writer left): a failure
//     is not a failure of the write; the file that could not be removed stays
//     for the next write.
//  4. Create, Permissions, Write, Sync, ReadBack: the temporary file is
//     removed again; the history is as it was. Failed — "履歴は変わっていません"
//     (Create names the folder). Owner and Attributes do not fail the write:
//     what could not be kept is a note of the outcome.
//  5. Verify (stat, and a re-read compared by length and hash): when the
//     history is no longer the file that was read, Changed ("何も書き込んで
//     いません"); when the look itself fails, Failed — unchanged.
//  6. Link (a second name of the old file for the put-back): where the file
//     system refuses hard links the write goes on without it; ENOENT means
//     the history was replaced meanwhile (Changed); other errors: Failed, unchanged.
//  7. Rename: Failed — unchanged; the temporary file and the second name go.
//  8. SyncDirectory: the new content is in place. With the second name the
//     old file is put back (PutBack) and the outcome is Failed — unchanged.
//     Without it, or when the put-back fails, Unconfirmed: the history was
//     written, but that it is on the disk could not be confirmed.
// The second name is removed last; a write that succeeded stays Ok.
#pragma once

#include <chrono>
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
    NotFound,         // nothing at the path
    NotRegular,       // a directory, FIFO, device …
    Unreadable,       // the history does not load
    ReadOnly,         // the history (or, for a new one, its folder) may not be written
    Exists,           // a new history was asked for, but the path is taken
    TooLarge,         // the new content would be beyond the reader's limits
    Refused,          // the edit refused the change (its own reasons)
    Changed,          // another program changed or replaced the history meanwhile
    Failed,           // a step of the write failed (`step`, `error`); nothing changed
    Locked,           // another writer held the lock beyond the wait
    PlanDoesNotLoad,  // the new content the edit made would not load: nothing written
    PlanDiffers,      // the new content does not hold the draws the edit meant
    OutOfMemory,      // memory ran out before anything was written
    Internal,         // an unexpected failure before anything was written
    Unconfirmed,      // the new content is in place, `step` (`error`) could not confirm it
};

// What a write could not keep of the old file. The write itself succeeded.
struct WriteNote {
    enum class Kind {
        OwnerNotKept,  // the owner could not be kept (the group was)
        OwnerAndGroupNotKept,
        AttributeNotCopied,  // `name`: an extended attribute (ACLs are system.posix_acl_*)
        OtherNamesKeepOld,   // `count` other hard links still name the old content
    };
    Kind kind = Kind::OwnerNotKept;
    std::string name;
    int error = 0;
    std::size_t count = 0;
};

struct WriteOutcome {
    WriteStatus status = WriteStatus::Failed;
    FileStep step = FileStep::OpenHistory;  // for Failed and Unconfirmed
    int error = 0;                          // errno of the failed step
    std::string folder;                     // Create: the folder the file was to be made in
    std::vector<WriteNote> notes;           // Ok and Unconfirmed: what was not kept
};

// How long a writer waits for another writer's lock, and whom it tells.
inline constexpr std::chrono::milliseconds kDefaultLockWait{10000};
struct LockWait {
    std::chrono::milliseconds limit = kDefaultLockWait;  // 0: do not wait
    // Called once, at once, when the lock is held by another writer and the
    // writer starts to wait. May be empty.
    std::function<void()> waiting;
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
// `NAME`: `.NAME.corvix-tmp-…` and `.NAME.corvix-old-…`, NAME shortened so
// that every such name fits NAME_MAX. Each is locked (flock) by its writer
// while the writer runs; one that nobody holds is removed by the next write.
[[nodiscard]] std::string TemporaryPrefix(const std::string& historyName);

// Reads the history at `path` (followed through symbolic links: the target is
// written, the link stays), runs `edit`, checks the plan (every draw not in
// `changed` as it was, `changed` and the appended draws as given, `drawCount`
// draws, within `limits`; the lines the new content shares with the old at its
// start are not read again)
// and, unless `dryRun`, writes it in place as described above. Permission
// bits and extended attributes are kept, and owner and group where the
// process may set them (notes say what was not). Never throws.
[[nodiscard]] WriteOutcome UpdateHistory(FileSystem& fs, const std::string& path,
                                         const HistoryEdit& edit, bool dryRun,
                                         const HistoryLimits& limits = kHistoryLimits,
                                         const LockWait& wait = {}) noexcept;

// Writes `bytes` as a new file at `path` the same way; Exists when anything
// (also a dangling link) is at the path, then or at the moment it is put in
// place. Where hard links are refused the file is put in place by a rename
// that does not replace. Never throws.
[[nodiscard]] WriteOutcome CreateHistory(FileSystem& fs, const std::string& path,
                                         const std::string& bytes) noexcept;

}  // namespace corvalith
