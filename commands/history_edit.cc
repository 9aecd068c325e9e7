// The rules of a change are checked inside the edit, that is under the lock
// on the history as read, so that two commands at once each see the other's
// result. The new lines take the file's own style (StyleOf).
#include "commands/history_edit.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <exception>
#include <new>

#include "commands/history_messages.h"
#include "commands/messages.h"
#include "history/draw_number.h"
#include "text/cp932.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

constexpr std::size_t kConflictsListed = 10;

ResultCharacters Characters(const ResultDigits& digits) {
    return {static_cast<char16_t>(digits[0]), static_cast<char16_t>(digits[1]),
            static_cast<char16_t>(digits[2]), static_cast<char16_t>(digits[3])};
}

std::u16string ResultText(const ResultCharacters& result) {
    return std::u16string(result.begin(), result.end());
}
std::u16string ResultText(const ResultDigits& result) {
    return std::u16string(result.begin(), result.end());
}

std::string_view LineEnd(const LineStyle& style) { return style.crlf ? "\r\n" : "\n"; }

// The decoded line without its line end, for the report.
std::u16string Shown(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return DecodeCp932Lossy(line);
}

EditOutcome Finish(EditOutcome outcome, const WriteOutcome& write, const std::string& path,
                   std::chrono::milliseconds waited = {}) {
    outcome.write = write;
    switch (write.status) {
        case WriteStatus::Ok:
            outcome.status = EditStatus::Ok;
            break;
        case WriteStatus::NotFound:
            outcome.status = EditStatus::NotFound;
            outcome.message = kMsgPathNotFound;
            break;
        case WriteStatus::NotRegular:
            outcome.status = EditStatus::NotRegular;
            outcome.message = kMsgHistoryNotRegular;
            break;
        case WriteStatus::Unreadable:
            outcome.status = EditStatus::Unreadable;
            outcome.message = kMsgReadFailed;
            break;
        case WriteStatus::ReadOnly:
            outcome.status = EditStatus::ReadOnly;
            outcome.message = kMsgHistoryReadOnly;
            break;
        case WriteStatus::Exists:
            outcome.status = EditStatus::Exists;
            outcome.message = ExistsMessage(PathFromFileSystem(path));
            break;
        case WriteStatus::TooLarge:
            outcome.status = EditStatus::TooLarge;
            outcome.message = kMsgHistoryTooLarge;
            break;
        case WriteStatus::Refused:
            break;  // status and message set by the edit
        case WriteStatus::Changed:
            outcome.status = EditStatus::Changed;
            outcome.message = kMsgHistoryChanged;
            break;
        case WriteStatus::Failed:
            outcome.status = EditStatus::WriteFailed;
            outcome.message = WriteFailedMessage(write);
            break;
        case WriteStatus::Locked:
            outcome.status = EditStatus::Locked;
            outcome.message = LockedMessage(waited);
            break;
        case WriteStatus::Unconfirmed:
            outcome.status = EditStatus::Unconfirmed;
            outcome.message = UnconfirmedMessage(write);
            break;
        case WriteStatus::PlanDoesNotLoad:
            outcome.status = EditStatus::Internal;
            outcome.message = kMsgPlanDoesNotLoad;
            break;
        case WriteStatus::PlanDiffers:
            outcome.status = EditStatus::Internal;
            outcome.message = kMsgPlanDiffers;
            break;
        case WriteStatus::OutOfMemory:
            outcome.status = EditStatus::OutOfMemory;
            outcome.message = kMsgWriteOutOfMemory;
            break;
        case WriteStatus::Internal:
            outcome.status = EditStatus::Internal;
            outcome.message = kMsgWriteInternal;
            break;
    }
    return outcome;
}

EditOutcome Refusal(EditStatus status, std::u16string message) {
    EditOutcome outcome;
    outcome.status = status;
    outcome.message = std::move(message);
    return outcome;
}

// An exception that left a command: memory, or anything else, each said as it is.
EditOutcome Escaped(const std::exception_ptr& error) noexcept {
    EditOutcome outcome;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        outcome.status = EditStatus::OutOfMemory;
    } catch (...) {
        outcome.status = EditStatus::Internal;
    }
    // Views of constant texts: assigning them may itself fail for want of memory.
    try {
        outcome.message = outcome.status == EditStatus::OutOfMemory
                              ? std::u16string(kMsgOutOfMemory)
                              : std::u16string(kMsgEditInternal);
    } catch (...) {
        outcome.message.clear();
    }
    return outcome;
}

// The bytes of `history` with `lines` after its last line.
std::string Appended(const HistoryImage& history, const LineStyle& style, std::size_t extra) {
    std::string bytes;
    bytes.reserve(history.bytes.size() + extra + 2);
    bytes = history.bytes;
    if (!history.endsWithBreak) bytes += LineEnd(style);
    return bytes;
}

bool RefuseDate(EditOutcome& outcome, const HistoryImage& history, std::int32_t draw,
                const CalendarDate& date, std::uint32_t previousKey, std::int32_t previous) {
    if (date.Key() > previousKey) return false;
    (void)history;
    outcome.status = EditStatus::Refused;
    outcome.message = DateNotAfterMessage(draw, date, previous, DateOfKey(previousKey));
    return true;
}

EditOutcome Add(const AddRequest& request, FileSystem& fs) {
    if (request.historyPath.empty()) return Refusal(EditStatus::NoPath, std::u16string(kMsgNoPath));
    const auto result = ResultOf(request.result);
    if (!result) return Refusal(EditStatus::Refused, NotFourDigitsMessage(request.result));
    std::optional<CalendarDate> date;
    if (!request.date.empty()) {
        date = InputDateOf(request.date);
        if (!date) return Refusal(EditStatus::Refused, BadDateMessage(request.date));
    }
    if (request.draw && *request.draw < 1) {
        return Refusal(EditStatus::Refused, NotInHistoryMessage(*request.draw));
    }

    EditOutcome outcome;
    outcome.dryRun = request.dryRun;
    const HistoryEdit edit = [&](const HistoryImage& history, EditPlan& plan) {
        outcome.status = EditStatus::Refused;
        const LineStyle style = StyleOf(history);
        const std::int32_t highest = history.highest;
        std::int32_t draw = 0;
        if (request.draw) {
            draw = *request.draw;
        } else if (const auto next = NextDrawNumber(highest); next && *next <= INT32_MAX) {
            draw = static_cast<std::int32_t>(*next);
        } else {
            outcome.message = history.draws.empty() ? std::u16string(kMsgNoDrawGiven)
                                                    : NotAboveMessage(highest, highest);
            return false;
        }
        if (request.replace) {
            const auto found =
                std::find_if(history.draws.rbegin(), history.draws.rend(),
                             [draw](const DrawRecord& r) { return r.number == draw; });
            if (found == history.draws.rend()) {
                outcome.message = NotInHistoryMessage(draw);
                return false;
            }
            const std::size_t index = static_cast<std::size_t>(history.draws.rend() - found) - 1;
            const DrawRecord& record = *found;
            const std::string line =
                ReplaceDrawFields(LineOf(history, record), style, *result, date);
            plan.bytes.reserve(history.bytes.size() + 16);
            plan.bytes.assign(history.bytes, 0, record.begin);
            plan.bytes += line;
            plan.bytes.append(history.bytes, record.begin + record.length, std::string::npos);
            plan.drawCount = history.draws.size();
            plan.changed.push_back({index, draw, Characters(*result)});
            outcome.line = Shown(line);
            outcome.replaced = true;
            outcome.firstAdded = outcome.lastAdded = draw;
            outcome.highest = highest;
            return true;
        }
        if (!history.draws.empty() && draw <= highest) {
            outcome.message = NotAboveMessage(draw, highest);
            return false;
        }
        if (!history.draws.empty() && draw > highest + 1) {
            if (!request.allowGap) {
                outcome.message = MissingMessage(highest + 1, draw - 1);
                return false;
            }
            outcome.gaps.push_back({highest + 1, draw - 1});
        }
        const CalendarDate when = date.value_or(Today());
        if (!history.draws.empty() &&
            RefuseDate(outcome, history, draw, when, history.draws.back().dateKey,
                       history.draws.back().number)) {
            return false;
        }
        const std::string line = FormatDrawLine(style, draw, when, *result);
        plan.bytes = Appended(history, style, line.size());
        plan.bytes += line;
        plan.drawCount = history.draws.size() + 1;
        plan.changed.push_back({history.draws.size(), draw, Characters(*result)});
        outcome.line = Shown(line);
        outcome.added = 1;
        outcome.firstAdded = outcome.lastAdded = draw;
        outcome.highest = std::max(highest, draw);
        return true;
    };
    const WriteOutcome write =
        UpdateHistory(fs, request.historyPath, edit, request.dryRun, kHistoryLimits, request.wait);
    return Finish(std::move(outcome), write, request.historyPath, request.wait.limit);
}

std::u16string Counted(std::size_t n) {
    const std::string text = std::to_string(n);
    return std::u16string(text.begin(), text.end());
}

// Where a draw of the merge came from, for the conflict lines: the source
// whose lines hold the draw's (`firstLines` rises strictly, every source
// counting at least one line).
std::u16string Origin(const ImportRequest& request, const std::vector<std::uint32_t>& firstLines,
                      const SourceDraw& draw) {
    const auto source = std::upper_bound(firstLines.begin(), firstLines.end(), draw.line - 1) - 1;
    const auto index = static_cast<std::size_t>(source - firstLines.begin());
    return PathFromFileSystem(request.sources[index].name) + u" の " +
           Counted(draw.line - *source) + u" 行目";
}

std::u16string HistoryOrigin(std::size_t index) {
    return u"履歴の " + Counted(index + 2) + u" 行目";
}

std::u16string ConflictLine(std::int32_t number, const std::u16string& a,
                            std::u16string_view aResult, const std::u16string& b,
                            std::u16string_view bResult) {
    return Drawn(number) + u": " + a + u"は " + std::u16string(aResult) + u"、" + b + u"は " +
           std::u16string(bResult);
}

// Two sources that give one draw different results: the first such pair of
// the draw that is kept at `at` of the merged draws.
struct SourceConflict {
    std::size_t at = 0;
    ResultDigits other{};
    std::u16string line;
};

std::size_t LinesIn(std::string_view bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
}

// Sorts the draws by number (unless they come in order) and keeps the first
// of each number in place, noting where the sources disagree.
std::vector<SourceConflict> Merged(const ImportRequest& request,
                                   const std::vector<std::uint32_t>& firstLines,
                                   std::vector<SourceDraw>& draws) {
    const auto byNumber = [](const SourceDraw& a, const SourceDraw& b) {
        return a.number < b.number;
    };
    if (!std::is_sorted(draws.begin(), draws.end(), byNumber)) {
        std::stable_sort(draws.begin(), draws.end(), byNumber);
    }
    std::vector<SourceConflict> conflicts;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < draws.size();) {
        std::size_t j = i + 1;
        bool conflicting = false;
        for (; j < draws.size() && draws[j].number == draws[i].number; ++j) {
            if (draws[j].result != draws[i].result && !conflicting) {
                conflicting = true;
                conflicts.push_back(
                    {kept, draws[j].result,
                     ConflictLine(draws[i].number, Origin(request, firstLines, draws[i]),
                                  ResultText(draws[i].result),
                                  Origin(request, firstLines, draws[j]),
                                  ResultText(draws[j].result))});
            }
        }
        draws[kept++] = draws[i];
        i = j;
    }
    draws.resize(kept);
    return conflicts;
}

EditOutcome Import(ImportRequest request, FileSystem& fs) {
    if (request.historyPath.empty()) return Refusal(EditStatus::NoPath, std::u16string(kMsgNoPath));
    std::vector<std::uint32_t> firstLines;
    firstLines.reserve(request.sources.size());
    std::uint64_t lines = 0;
    for (const ImportSource& source : request.sources) {
        firstLines.push_back(static_cast<std::uint32_t>(lines));
        lines += LinesIn(source.bytes);
        if (lines > UINT32_MAX) {
            return Refusal(EditStatus::TooLarge, std::u16string(kMsgHistoryTooLarge));
        }
    }
    std::vector<SourceDraw> draws;
    // Untouched capacity costs no memory; the draw limit bounds it for sources of blank lines.
    draws.reserve(std::min(static_cast<std::size_t>(lines), kHistoryLimits.maxDraws + 1));
    for (std::size_t i = 0; i < request.sources.size(); ++i) {
        SourceForm form{};
        std::u16string error;
        if (!ReadSource(request.sources[i], firstLines[i], draws, form, error)) {
            return Refusal(EditStatus::SourceError, std::move(error));
        }
        std::string().swap(request.sources[i].bytes);  // only the name is needed from here on
    }
    const std::vector<SourceConflict> sourceConflicts = Merged(request, firstLines, draws);

    EditOutcome outcome;
    outcome.dryRun = request.dryRun;
    bool nothingNew = false;
    const HistoryEdit edit = [&](const HistoryImage& history, EditPlan& plan) {
        outcome = EditOutcome{};
        outcome.dryRun = request.dryRun;
        outcome.status = EditStatus::Refused;
        std::vector<std::pair<std::int32_t, std::uint32_t>> known;  // number, index
        known.reserve(history.draws.size());
        std::int32_t highest = 0;
        for (std::size_t i = 0; i < history.draws.size(); ++i) {
            known.emplace_back(history.draws[i].number, static_cast<std::uint32_t>(i));
            highest = std::max(highest, history.draws[i].number);
        }
        std::sort(known.begin(), known.end());

        std::vector<std::u16string> conflicts;
        const SourceDraw* belowMissing = nullptr;
        auto sourceConflict = sourceConflicts.begin();
        for (std::size_t i = 0; i < draws.size(); ++i) {
            const SourceDraw& first = draws[i];
            ImportRow row{first.number, DateOfKey(first.dateKey), first.result, RowKind::New, {}};
            if (sourceConflict != sourceConflicts.end() && sourceConflict->at == i) {
                row.kind = RowKind::Conflict;
                row.other = sourceConflict->other;
                conflicts.push_back(sourceConflict->line);
                ++sourceConflict;
            }
            const auto at =
                std::lower_bound(known.begin(), known.end(),
                                 std::pair<std::int32_t, std::uint32_t>{first.number, 0});
            if (at != known.end() && at->first == first.number) {
                const DrawRecord& record = history.draws[at->second];
                if (record.result == Characters(first.result)) {
                    if (row.kind != RowKind::Conflict) {
                        row.kind = RowKind::Unchanged;
                        ++outcome.unchanged;
                    }
                } else if (row.kind != RowKind::Conflict) {
                    row.kind = RowKind::Conflict;
                    ResultDigits other{};
                    for (std::size_t p = 0; p < 4; ++p)
                        other[p] = static_cast<char>(record.result[p]);
                    row.other = other;
                    conflicts.push_back(ConflictLine(
                        first.number, HistoryOrigin(at->second), ResultText(record.result),
                        Origin(request, firstLines, first), ResultText(first.result)));
                }
            } else if (row.kind == RowKind::New && !history.draws.empty() &&
                       first.number <= highest && belowMissing == nullptr) {
                belowMissing = &first;
            }
            if (request.wantRows) outcome.rows.push_back(row);
        }
        outcome.conflicts = conflicts.size();
        outcome.highest = highest;
        if (!conflicts.empty()) {
            outcome.status = EditStatus::Conflict;
            for (std::size_t k = 0; k < conflicts.size() && k < kConflictsListed; ++k) {
                if (k > 0) outcome.message += u'\n';
                outcome.message += conflicts[k];
            }
            return false;
        }
        if (belowMissing != nullptr) {
            outcome.message = BelowAndMissingMessage(belowMissing->number, highest);
            return false;
        }
        // Without conflicts the new draws are the ones above the highest (all
        // of them in a history without draws): the end of the merged draws.
        const auto freshBegin = history.draws.empty()
                                    ? draws.begin()
                                    : std::upper_bound(draws.begin(), draws.end(), highest,
                                                       [](std::int32_t n, const SourceDraw& d) {
                                                           return n < d.number;
                                                       });
        const std::size_t freshFrom = static_cast<std::size_t>(freshBegin - draws.begin());
        const std::size_t freshCount = draws.size() - freshFrom;
        // Gaps: before the first new draw (in a history with draws) and between new draws.
        std::int64_t expected =
            history.draws.empty() || freshCount == 0 ? 0 : std::int64_t{highest} + 1;
        for (std::size_t k = freshFrom; k < draws.size(); ++k) {
            if (expected != 0 && draws[k].number > expected) {
                outcome.gaps.push_back({static_cast<std::int32_t>(expected), draws[k].number - 1});
            }
            expected = std::int64_t{draws[k].number} + 1;
        }
        if (!outcome.gaps.empty() && !request.allowGap) {
            outcome.message = MissingMessage(outcome.gaps.front().first, outcome.gaps.front().last);
            return false;
        }
        std::uint32_t previousKey = history.draws.empty() ? 0 : history.draws.back().dateKey;
        std::int32_t previous = history.draws.empty() ? 0 : history.draws.back().number;
        for (std::size_t k = freshFrom; k < draws.size(); ++k) {
            const SourceDraw& draw = draws[k];
            if (previousKey != 0 && RefuseDate(outcome, history, draw.number,
                                               DateOfKey(draw.dateKey), previousKey, previous)) {
                return false;
            }
            previousKey = draw.dateKey;
            previous = draw.number;
        }
        if (freshCount == 0) {
            outcome.status = EditStatus::Ok;
            nothingNew = true;
            return false;
        }
        if (history.draws.size() + freshCount > kHistoryLimits.maxDraws) {
            outcome.status = EditStatus::TooLarge;
            outcome.message = kMsgHistoryTooLarge;
            return false;
        }
        const LineStyle style = StyleOf(history);
        plan.bytes = Appended(history, style, freshCount * 32);
        for (std::size_t k = freshFrom; k < draws.size(); ++k) {
            const SourceDraw& draw = draws[k];
            plan.bytes += FormatDrawLine(style, draw.number, DateOfKey(draw.dateKey), draw.result);
            if (plan.bytes.size() > kHistoryLimits.maxFileBytes) {
                outcome.status = EditStatus::TooLarge;
                outcome.message = kMsgHistoryTooLarge;
                return false;
            }
        }
        plan.drawCount = history.draws.size() + freshCount;
        plan.appendedCount = freshCount;
        plan.appendedDraw = [&draws, freshFrom, base = history.draws.size()](std::size_t k) {
            const SourceDraw& draw = draws[freshFrom + k];
            return ExpectedDraw{base + k, draw.number, Characters(draw.result)};
        };
        outcome.added = freshCount;
        outcome.firstAdded = draws[freshFrom].number;
        outcome.lastAdded = draws.back().number;
        outcome.highest = std::max(highest, outcome.lastAdded);
        return true;
    };
    const WriteOutcome write =
        UpdateHistory(fs, request.historyPath, edit, request.dryRun, kHistoryLimits, request.wait);
    if (write.status == WriteStatus::Refused && nothingNew) {
        outcome.write = write;
        return outcome;
    }
    return Finish(std::move(outcome), write, request.historyPath, request.wait.limit);
}

}  // namespace

EditOutcome AddResult(const AddRequest& request, FileSystem& fs) noexcept {
    try {
        return Add(request, fs);
    } catch (...) {
        return Escaped(std::current_exception());
    }
}

EditOutcome ImportResults(ImportRequest request, FileSystem& fs) noexcept {
    try {
        return Import(std::move(request), fs);
    } catch (...) {
        return Escaped(std::current_exception());
    }
}

EditOutcome InitHistory(const std::string& historyPath, FileSystem& fs) noexcept {
    try {
        if (historyPath.empty()) return Refusal(EditStatus::NoPath, std::u16string(kMsgNoPath));
        EditOutcome outcome;
        const WriteOutcome write = CreateHistory(fs, historyPath, NewHistoryBytes());
        outcome = Finish(std::move(outcome), write, historyPath);
        if (outcome.status == EditStatus::ReadOnly) outcome.message = kMsgFolderReadOnly;
        return outcome;
    } catch (...) {
        return Escaped(std::current_exception());
    }
}

}  // namespace corvalith
