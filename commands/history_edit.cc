// The rules of a change are checked inside the edit, that is under the lock
// on the history as read, so that two commands at once each see the other's
// result. The new lines take the file's own style (StyleOf).
#include "commands/history_edit.h"

#include <algorithm>
#include <climits>

#include "commands/history_messages.h"
#include "commands/messages.h"
#include "history/draw_fields.h"
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

std::u16string Counted(std::size_t n) {
    const std::string text = std::to_string(n);
    return std::u16string(text.begin(), text.end());
}

std::string_view LineEnd(const LineStyle& style) { return style.crlf ? "\r\n" : "\n"; }

// The decoded line without its line end, for the report.
std::u16string Shown(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return DecodeCp932Lossy(line);
}

EditOutcome Finish(EditOutcome outcome, const WriteOutcome& write, const std::string& path) {
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
    }
    return outcome;
}

EditOutcome Refusal(EditStatus status, std::u16string message) {
    EditOutcome outcome;
    outcome.status = status;
    outcome.message = std::move(message);
    return outcome;
}

// The bytes of `history` with a line end after its last line, room for `extra` more.
std::string Appended(const HistoryImage& history, const LineStyle& style, std::size_t extra) {
    std::string bytes;
    bytes.reserve(history.bytes.size() + extra + 2);
    bytes = history.bytes;
    if (!history.endsWithBreak) bytes += LineEnd(style);
    return bytes;
}

DrawNeighbour NeighbourOf(const DrawRecord& record) {
    return {record.number, DateOfKey(record.dateKey)};
}

// The draws next to `draw` by number (the file need not be in draw order).
struct Neighbours {
    std::optional<DrawNeighbour> previous;
    std::optional<DrawNeighbour> next;
};

Neighbours NeighboursOf(const HistoryImage& history, std::int32_t draw) {
    const DrawRecord* previous = nullptr;
    const DrawRecord* next = nullptr;
    for (const DrawRecord& record : history.draws) {
        if (record.number < draw && (previous == nullptr || record.number > previous->number)) {
            previous = &record;
        } else if (record.number > draw && (next == nullptr || record.number < next->number)) {
            next = &record;
        }
    }
    Neighbours found;
    if (previous != nullptr) found.previous = NeighbourOf(*previous);
    if (next != nullptr) found.next = NeighbourOf(*next);
    return found;
}

// Check dates: a draw's date lies strictly after its previous draw's and
// before its next one's. False, with the refusal in `outcome`, otherwise.
bool DateFits(EditOutcome& outcome, std::int32_t draw, const CalendarDate& date,
              const Neighbours& around) {
    const bool afterPrevious = !around.previous || date.Key() > around.previous->date.Key();
    const bool beforeNext = !around.next || date.Key() < around.next->date.Key();
    if (afterPrevious && beforeNext) return true;
    outcome.status = EditStatus::Refused;
    outcome.message = around.next ? DateBetweenMessage(draw, date, around.previous, around.next)
                                  : DateNotAfterMessage(draw, date, around.previous->number,
                                                        around.previous->date);
    return false;
}

// The payouts a history line carries, or nothing when a payout field is malformed.
std::optional<DrawPayouts> HistoryPayouts(const HistoryImage& history, const DrawRecord& record,
                                          DrawFields& fields, std::u16string& text) {
    text.clear();
    if (!Cp932Decoder().Decode(LineOf(history, record), text)) return std::nullopt;
    while (!text.empty() && text.back() == u'\r') text.pop_back();
    fields.Split(text);
    DrawPayouts payouts;
    std::size_t bad = 0;
    if (!ReadPayoutFields(fields, payouts, bad)) return std::nullopt;
    return payouts;
}

std::u16string BadHistoryPayoutMessage(std::size_t index) {
    return u"履歴の " + Counted(index + 2) + u" 行目の払戻金が読めません（0～99999999 の整数か空）";
}

// The header line of the bytes with the payout names when it is the
// five-name header: the start of a plan that puts payouts into the file.
void StartWithPayoutHeader(const HistoryImage& history, std::string& bytes, std::size_t& from) {
    const std::size_t lf = history.bytes.find('\n');
    const std::size_t end = lf == std::string::npos ? history.bytes.size() : lf;
    if (const auto header = HeaderWithPayouts(std::string_view(history.bytes).substr(0, end))) {
        bytes += *header;
        from = end;
    }
}

// Which draw an add means: the given one or the proposed next.
std::optional<std::int32_t> DrawToAdd(const AddRequest& request, const HistoryImage& history,
                                      EditOutcome& outcome) {
    if (request.draw) return *request.draw;
    if (const auto next = NextDrawNumber(history.highest); next && *next <= INT32_MAX) {
        return static_cast<std::int32_t>(*next);
    }
    outcome.message = history.draws.empty() ? std::u16string(kMsgNoDrawGiven)
                                            : NotAboveMessage(history.highest, history.highest);
    return std::nullopt;
}

// Build the plan of a replacement: the draw's line with the new result (and
// date with its weekday, and payouts), everything else byte for byte.
bool PlanReplacement(const AddRequest& request, const HistoryImage& history, std::int32_t draw,
                     const ResultDigits& result, const std::optional<CalendarDate>& date,
                     EditPlan& plan, EditOutcome& outcome) {
    const auto found = std::find_if(history.draws.rbegin(), history.draws.rend(),
                                    [draw](const DrawRecord& r) { return r.number == draw; });
    if (found == history.draws.rend()) {
        outcome.message = NotInHistoryMessage(draw);
        return false;
    }
    if (date && !DateFits(outcome, draw, *date, NeighboursOf(history, draw))) return false;
    const std::size_t index = static_cast<std::size_t>(history.draws.rend() - found) - 1;
    const DrawRecord& record = *found;
    const bool payouts = request.payouts.Any();
    const std::string line =
        ReplaceDrawFields(LineOf(history, record), StyleOf(history), result, date,
                          payouts ? std::optional<DrawPayouts>(request.payouts) : std::nullopt);
    std::size_t from = 0;
    plan.bytes.reserve(history.bytes.size() + 64);
    if (payouts) StartWithPayoutHeader(history, plan.bytes, from);
    plan.bytes.append(history.bytes, from, record.begin - from);
    plan.bytes += line;
    plan.bytes.append(history.bytes, record.begin + record.length, std::string::npos);
    plan.drawCount = history.draws.size();
    plan.changed.push_back({index, draw, Characters(result)});
    outcome.line = Shown(line);
    outcome.replaced = true;
    outcome.firstAdded = outcome.lastAdded = draw;
    outcome.highest = history.highest;
    return true;
}

// Find gaps before a new draw: none allowed unless asked for.
bool GapBefore(bool allowGap, std::int32_t from, std::int32_t draw, EditOutcome& outcome) {
    if (draw <= from) return true;
    if (!allowGap) {
        outcome.message = MissingMessage(from, draw - 1);
        return false;
    }
    outcome.gaps.push_back({from, draw - 1});
    return true;
}

// The record of the highest draw: the previous neighbour of every new draw.
const DrawRecord* HighestRecord(const HistoryImage& history) {
    const DrawRecord* highest = nullptr;
    for (const DrawRecord& record : history.draws) {
        if (highest == nullptr || record.number > highest->number) highest = &record;
    }
    return highest;
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
        const auto draw = DrawToAdd(request, history, outcome);
        if (!draw) return false;
        if (request.replace) {
            return PlanReplacement(request, history, *draw, *result, date, plan, outcome);
        }
        const std::int32_t highest = history.highest;
        if (!history.draws.empty()) {
            if (*draw <= highest) {
                outcome.message = NotAboveMessage(*draw, highest);
                return false;
            }
            if (!GapBefore(request.allowGap, highest + 1, *draw, outcome)) return false;
        }
        const CalendarDate when = date.value_or(Today());
        const DrawRecord* previous = HighestRecord(history);
        if (previous != nullptr && !DateFits(outcome, *draw, when, {NeighbourOf(*previous), {}})) {
            return false;
        }
        const LineStyle style = StyleOf(history);
        const std::string line = FormatDrawLine(style, *draw, when, *result, request.payouts);
        if (request.payouts.Any()) {
            std::size_t from = 0;
            StartWithPayoutHeader(history, plan.bytes, from);
            plan.bytes += Appended(history, style, line.size()).substr(from);
        } else {
            plan.bytes = Appended(history, style, line.size());
        }
        plan.bytes += line;
        plan.drawCount = history.draws.size() + 1;
        plan.changed.push_back({history.draws.size(), *draw, Characters(*result)});
        outcome.line = Shown(line);
        outcome.added = 1;
        outcome.firstAdded = outcome.lastAdded = *draw;
        outcome.highest = std::max(highest, *draw);
        return true;
    };
    const WriteOutcome write = UpdateHistory(fs, request.historyPath, edit, request.dryRun);
    return Finish(std::move(outcome), write, request.historyPath);
}

// Where a draw of the merge came from, for the conflict lines: the source
// whose lines hold the draw's (`firstLines` rises strictly, every source
// counting at least one line), and the line there unless the source is JSON.
struct SourcesRead {
    std::vector<SourceDraw> draws;
    std::vector<std::uint32_t> firstLines;
    std::vector<SourceForm> forms;
};

std::u16string Origin(const ImportRequest& request, const SourcesRead& read,
                      const SourceDraw& draw) {
    const auto& firstLines = read.firstLines;
    const auto source = std::upper_bound(firstLines.begin(), firstLines.end(), draw.line - 1) - 1;
    const auto index = static_cast<std::size_t>(source - firstLines.begin());
    const std::u16string name = PathFromFileSystem(request.sources[index].name);
    if (read.forms[index] == SourceForm::Json) return name + u" ";
    return name + u" の " + Counted(draw.line - *source) + u" 行目";
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

std::u16string PayoutConflictLine(std::int32_t number, const std::u16string& a,
                                  const DrawPayouts& aPayouts, const std::u16string& b,
                                  const DrawPayouts& bPayouts) {
    return Drawn(number) + u": " + a + u"の払戻金は " + PayoutsShown(aPayouts) + u"、" + b +
           u"の払戻金は " + PayoutsShown(bPayouts);
}

// Two sources that give one draw different results (or payouts): the first
// such pair of the draw that is kept at `at` of the merged draws.
struct SourceConflict {
    std::size_t at = 0;
    ResultDigits other{};
    std::u16string line;
};

std::size_t LinesIn(std::string_view bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
}

// Read the sources: their draws in source order, each source's bytes released
// once read. A refusal when a source cannot be read.
std::optional<EditOutcome> ReadSources(ImportRequest& request, SourcesRead& read) {
    read.firstLines.reserve(request.sources.size());
    std::uint64_t lines = 0;
    for (const ImportSource& source : request.sources) {
        read.firstLines.push_back(static_cast<std::uint32_t>(lines));
        lines += LinesIn(source.bytes);
        if (lines > UINT32_MAX) {
            return Refusal(EditStatus::TooLarge, std::u16string(kMsgHistoryTooLarge));
        }
    }
    // Untouched capacity costs no memory; the draw limit bounds it for sources of blank lines.
    read.draws.reserve(std::min(static_cast<std::size_t>(lines), kHistoryLimits.maxDraws + 1));
    for (std::size_t i = 0; i < request.sources.size(); ++i) {
        SourceForm form{};
        std::u16string error;
        if (!ReadSource(request.sources[i], read.firstLines[i], read.draws, form, error)) {
            return Refusal(EditStatus::SourceError, std::move(error));
        }
        read.forms.push_back(form);
        std::string().swap(request.sources[i].bytes);  // only the name is needed from here on
    }
    return std::nullopt;
}

// Sorts the draws by number (unless they come in order) and keeps the first
// of each number in place, with the payouts of the first that has them,
// noting where the sources disagree.
std::vector<SourceConflict> Merged(const ImportRequest& request, SourcesRead& read) {
    std::vector<SourceDraw>& draws = read.draws;
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
        SourceDraw merged = draws[i];
        for (; j < draws.size() && draws[j].number == draws[i].number; ++j) {
            if (conflicting) continue;
            const DrawPayouts mine = merged.Payouts();
            const DrawPayouts theirs = draws[j].Payouts();
            if (draws[j].result != draws[i].result) {
                conflicting = true;
                conflicts.push_back(
                    {kept, draws[j].result,
                     ConflictLine(draws[i].number, Origin(request, read, draws[i]),
                                  ResultText(draws[i].result), Origin(request, read, draws[j]),
                                  ResultText(draws[j].result))});
            } else if (mine.Any() && theirs.Any() && mine != theirs) {
                conflicting = true;
                conflicts.push_back(
                    {kept, draws[j].result,
                     PayoutConflictLine(draws[i].number, Origin(request, read, draws[i]), mine,
                                        Origin(request, read, draws[j]), theirs)});
            } else if (!mine.Any() && theirs.Any()) {
                merged.payouts = draws[j].payouts;
            }
        }
        draws[kept++] = merged;
        i = j;
    }
    draws.resize(kept);
    return conflicts;
}

// What the merge makes of the history and the sources' draws.
struct Classified {
    std::vector<std::u16string> conflicts;
    // Draws of the history that gain payouts: history index, the source's draw.
    std::vector<std::pair<std::uint32_t, const SourceDraw*>> gains;
    const SourceDraw* belowMissing = nullptr;  // a new draw below the highest
    std::optional<std::u16string> unreadable;  // a history payout field that does not read
};

// Classify rows: each merged draw as new, unchanged, gaining payouts, in
// conflict or kept as the history has it.
Classified ClassifyRows(const ImportRequest& request, const SourcesRead& read,
                        const std::vector<SourceConflict>& sourceConflicts,
                        const HistoryImage& history, EditOutcome& outcome) {
    Classified classified;
    std::vector<std::pair<std::int32_t, std::uint32_t>> known;  // number, index
    known.reserve(history.draws.size());
    std::int32_t highest = 0;
    for (std::size_t i = 0; i < history.draws.size(); ++i) {
        known.emplace_back(history.draws[i].number, static_cast<std::uint32_t>(i));
        highest = std::max(highest, history.draws[i].number);
    }
    std::sort(known.begin(), known.end());
    outcome.highest = highest;

    DrawFields fields;
    std::u16string text;
    auto sourceConflict = sourceConflicts.begin();
    for (std::size_t i = 0; i < read.draws.size(); ++i) {
        const SourceDraw& first = read.draws[i];
        ImportRow row{first.number, DateOfKey(first.dateKey), first.result, RowKind::New,
                      {},           first.Payouts()};
        const SourceConflict* between = nullptr;
        if (sourceConflict != sourceConflicts.end() && sourceConflict->at == i) {
            between = &*sourceConflict++;
        }
        const auto at = std::lower_bound(known.begin(), known.end(),
                                         std::pair<std::int32_t, std::uint32_t>{first.number, 0});
        const bool inHistory = at != known.end() && at->first == first.number;
        if (!inHistory) {
            if (between != nullptr) {
                row.kind = RowKind::Conflict;
                row.other = between->other;
                classified.conflicts.push_back(between->line);
            } else if (!history.draws.empty() && first.number <= highest &&
                       classified.belowMissing == nullptr) {
                classified.belowMissing = &first;
            }
            if (request.wantRows) outcome.rows.push_back(row);
            continue;
        }
        const DrawRecord& record = history.draws[at->second];
        ResultDigits mine{};
        for (std::size_t p = 0; p < 4; ++p) mine[p] = static_cast<char>(record.result[p]);
        const bool sameResult = record.result == Characters(first.result);
        std::optional<DrawPayouts> minePayouts;
        if (sameResult && row.payouts.Any()) {
            minePayouts = HistoryPayouts(history, record, fields, text);
            if (!minePayouts) {
                classified.unreadable = BadHistoryPayoutMessage(at->second);
                return classified;
            }
        }
        const bool payoutsDiffer = minePayouts && minePayouts->Any() && *minePayouts != row.payouts;
        if (!sameResult || payoutsDiffer || between != nullptr) {
            row.other = mine;
            if (request.keepMine) {
                row.kind = RowKind::KeptMine;
                outcome.keptMine.push_back(first.number);
            } else {
                row.kind = RowKind::Conflict;
                if (between != nullptr) {
                    classified.conflicts.push_back(between->line);
                } else if (!sameResult) {
                    classified.conflicts.push_back(ConflictLine(
                        first.number, HistoryOrigin(at->second), ResultText(record.result),
                        Origin(request, read, first), ResultText(first.result)));
                } else {
                    classified.conflicts.push_back(
                        PayoutConflictLine(first.number, HistoryOrigin(at->second), *minePayouts,
                                           Origin(request, read, first), row.payouts));
                }
            }
        } else if (minePayouts && !minePayouts->Any()) {
            row.kind = RowKind::PayoutsAdded;
            row.other = mine;
            classified.gains.emplace_back(at->second, &first);
        } else {
            row.kind = RowKind::Unchanged;
            ++outcome.unchanged;
        }
        if (request.wantRows) outcome.rows.push_back(row);
    }
    outcome.conflicts = classified.conflicts.size();
    outcome.payoutsAdded = classified.gains.size();
    return classified;
}

// Find gaps: before the first new draw (in a history with draws) and between
// new draws. False, with the refusal in `outcome`, when one is not allowed.
bool FindGaps(const ImportRequest& request, const HistoryImage& history,
              const std::vector<SourceDraw>& draws, std::size_t freshFrom, EditOutcome& outcome) {
    std::int64_t expected =
        history.draws.empty() || freshFrom == draws.size() ? 0 : std::int64_t{outcome.highest} + 1;
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
    return true;
}

// Check dates: every new draw after the one before it (the history's highest first).
bool CheckNewDates(const HistoryImage& history, const std::vector<SourceDraw>& draws,
                   std::size_t freshFrom, EditOutcome& outcome) {
    std::optional<DrawNeighbour> previous;
    if (const DrawRecord* highest = HighestRecord(history)) previous = NeighbourOf(*highest);
    for (std::size_t k = freshFrom; k < draws.size(); ++k) {
        const SourceDraw& draw = draws[k];
        const CalendarDate date = DateOfKey(draw.dateKey);
        if (previous && !DateFits(outcome, draw.number, date, {previous, {}})) return false;
        previous = DrawNeighbour{draw.number, date};
    }
    return true;
}

// Build the plan: the history with the payouts its draws gain (and the
// header that names them), then the new draws.
bool BuildImportPlan(const HistoryImage& history, const std::vector<SourceDraw>& draws,
                     std::size_t freshFrom, Classified& classified, EditPlan& plan,
                     EditOutcome& outcome) {
    const std::size_t freshCount = draws.size() - freshFrom;
    if (history.draws.size() + freshCount > kHistoryLimits.maxDraws) {
        outcome.status = EditStatus::TooLarge;
        outcome.message = kMsgHistoryTooLarge;
        return false;
    }
    const bool freshPayouts = std::any_of(draws.begin() + static_cast<long>(freshFrom), draws.end(),
                                          [](const SourceDraw& d) { return d.Payouts().Any(); });
    const LineStyle style = StyleOf(history);
    std::size_t from = 0;
    plan.bytes.reserve(history.bytes.size() + classified.gains.size() * 40 + freshCount * 64 + 2);
    if (!classified.gains.empty() || freshPayouts) StartWithPayoutHeader(history, plan.bytes, from);
    std::sort(classified.gains.begin(), classified.gains.end(),
              [&history](const auto& a, const auto& b) {
                  return history.draws[a.first].begin < history.draws[b.first].begin;
              });
    for (const auto& [index, draw] : classified.gains) {
        const DrawRecord& record = history.draws[index];
        plan.bytes.append(history.bytes, from, record.begin - from);
        plan.bytes += WithPayoutFields(LineOf(history, record), draw->Payouts());
        from = record.begin + record.length;
    }
    plan.bytes.append(history.bytes, from, std::string::npos);
    if (!history.endsWithBreak && freshCount > 0) plan.bytes += LineEnd(style);
    for (std::size_t k = freshFrom; k < draws.size(); ++k) {
        const SourceDraw& draw = draws[k];
        plan.bytes += FormatDrawLine(style, draw.number, DateOfKey(draw.dateKey), draw.result,
                                     draw.Payouts());
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
    if (freshCount > 0) {
        outcome.added = freshCount;
        outcome.firstAdded = draws[freshFrom].number;
        outcome.lastAdded = draws.back().number;
        outcome.highest = std::max(outcome.highest, outcome.lastAdded);
    }
    return true;
}

EditOutcome Import(ImportRequest request, FileSystem& fs) {
    if (request.historyPath.empty()) return Refusal(EditStatus::NoPath, std::u16string(kMsgNoPath));
    SourcesRead read;
    if (auto refused = ReadSources(request, read)) return std::move(*refused);
    const std::vector<SourceConflict> sourceConflicts = Merged(request, read);
    const std::vector<SourceDraw>& draws = read.draws;

    EditOutcome outcome;
    outcome.dryRun = request.dryRun;
    bool nothingNew = false;
    const HistoryEdit edit = [&](const HistoryImage& history, EditPlan& plan) {
        outcome = EditOutcome{};
        outcome.dryRun = request.dryRun;
        outcome.status = EditStatus::Refused;
        Classified classified = ClassifyRows(request, read, sourceConflicts, history, outcome);
        if (classified.unreadable) {
            outcome.status = EditStatus::Unreadable;
            outcome.message = *classified.unreadable;
            return false;
        }
        if (!classified.conflicts.empty()) {
            outcome.status = EditStatus::Conflict;
            for (std::size_t k = 0; k < classified.conflicts.size() && k < kConflictsListed; ++k) {
                if (k > 0) outcome.message += u'\n';
                outcome.message += classified.conflicts[k];
            }
            return false;
        }
        if (classified.belowMissing != nullptr) {
            outcome.message =
                BelowAndMissingMessage(classified.belowMissing->number, outcome.highest);
            return false;
        }
        // Without conflicts the new draws are the ones above the highest (all
        // of them in a history without draws): the end of the merged draws.
        const auto freshBegin = history.draws.empty()
                                    ? draws.begin()
                                    : std::upper_bound(draws.begin(), draws.end(), outcome.highest,
                                                       [](std::int32_t n, const SourceDraw& d) {
                                                           return n < d.number;
                                                       });
        const auto freshFrom = static_cast<std::size_t>(freshBegin - draws.begin());
        if (!FindGaps(request, history, draws, freshFrom, outcome)) return false;
        if (!CheckNewDates(history, draws, freshFrom, outcome)) return false;
        if (freshFrom == draws.size() && classified.gains.empty()) {
            outcome.status = EditStatus::Ok;
            nothingNew = true;
            return false;
        }
        return BuildImportPlan(history, draws, freshFrom, classified, plan, outcome);
    };
    const WriteOutcome write = UpdateHistory(fs, request.historyPath, edit, request.dryRun);
    if (write.status == WriteStatus::Refused && nothingNew) {
        outcome.write = write;
        return outcome;
    }
    return Finish(std::move(outcome), write, request.historyPath);
}

}  // namespace

EditOutcome AddResult(const AddRequest& request, FileSystem& fs) noexcept {
    try {
        return Add(request, fs);
    } catch (...) {
        return Refusal(EditStatus::WriteFailed, std::u16string(kMsgPredictFailed));
    }
}

EditOutcome ImportResults(ImportRequest request, FileSystem& fs) noexcept {
    try {
        return Import(std::move(request), fs);
    } catch (...) {
        return Refusal(EditStatus::WriteFailed, std::u16string(kMsgPredictFailed));
    }
}

EditOutcome InitHistory(const std::string& historyPath, FileSystem& fs) noexcept {
    try {
        if (historyPath.empty()) return Refusal(EditStatus::NoPath, std::u16string(kMsgNoPath));
        EditOutcome outcome;
        const WriteOutcome write = CreateHistory(fs, historyPath, NewHistoryBytes());
        return Finish(std::move(outcome), write, historyPath);
    } catch (...) {
        return Refusal(EditStatus::WriteFailed, std::u16string(kMsgPredictFailed));
    }
}

}  // namespace corvalith
