// A source is checked for the encodings it cannot be (UTF-16, binary) first,
// then decoded line by line as UTF-8 when all of it is UTF-8 (or it starts
// with a byte-order mark) and as code page 932 otherwise; its form is told by
// its first lines.
#include "commands/import_sources.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "commands/draw_input.h"
#include "commands/import_json.h"
#include "history/characters.h"
#include "history/draw_fields.h"
#include "history/draw_history.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

static_assert(sizeof(SourceDraw) == 32, "a draw of an import stays small");

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::u16string Widened(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string LineError(const ImportSource& source, std::uint32_t line, std::u16string_view why) {
    std::u16string text;
    if (!Utf8ToUtf16(source.name, text)) text = u"?";
    return text + u" の " + Widened(std::to_string(line)) + u" 行目: " + std::u16string(why);
}

// Splits the bytes into lines at LF (a CR before it dropped); calls `each`
// with the 1-based number and the bytes of every line until it returns false.
template <typename Each>
bool ForEachLine(std::string_view bytes, Each each) {
    std::uint32_t number = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t lf = bytes.find('\n', at);
        const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        std::string_view line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        if (!each(++number, line)) return false;
    }
    return true;
}

enum class Encoding { Utf8, Cp932 };

// Why the bytes are no text this reads, or nothing.
std::optional<std::u16string> NotText(std::string_view bytes, std::uint32_t& badLine) {
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                              (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        badLine = 1;
        return u"UTF-16 のテキストは読めません（UTF-8 かコードページ 932 で保存してください）";
    }
    std::optional<std::u16string> why;
    ForEachLine(bytes, [&](std::uint32_t number, std::string_view line) {
        if (line.size() > kMaxLineBytes) {
            badLine = number;
            why = u"行が長すぎます（" + Widened(std::to_string(kMaxLineBytes)) + u" バイトまで）";
            return false;
        }
        const std::size_t nul = line.find('\0');
        if (nul != std::string_view::npos) {
            badLine = number;
            // Text in UTF-16 has a zero byte beside nearly every ASCII character.
            const auto zeros = std::count(line.begin(), line.end(), '\0');
            why = zeros * 3 >= static_cast<long>(line.size())
                      ? u"UTF-16 のテキストは読めません（UTF-8 かコードページ 932 "
                        u"で保存してください）"
                      : u"テキストではありません（バイナリファイル）";
            return false;
        }
        const bool control = std::any_of(line.begin(), line.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 && u != '\t' && u != '\f' && u != '\v' && u != '\x1A';
        });
        if (control) {
            badLine = number;
            why = u"テキストではありません（バイナリファイル）";
            return false;
        }
        return true;
    });
    return why;
}

Encoding EncodingOf(std::string_view bytes) {
    std::u16string scratch;
    const bool utf8 = ForEachLine(bytes, [&scratch](std::uint32_t, std::string_view line) {
        scratch.clear();
        return Utf8ToUtf16(line, scratch);
    });
    return utf8 ? Encoding::Utf8 : Encoding::Cp932;
}

bool Decode(Encoding encoding, std::string_view line, std::u16string& out) {
    out.clear();
    if (encoding == Encoding::Utf8) return Utf8ToUtf16(line, out);
    return Cp932Decoder().Decode(line, out);
}

bool IsBlank(std::u16string_view line) {
    return std::all_of(line.begin(), line.end(),
                       [](char16_t c) { return IsAsciiSpace(c) || c == u'\u3000'; });
}

// The line as the reader reads a draw line: the fields of the history format.
bool IsHistoryDrawLine(std::u16string_view line, DrawFields& fields) {
    DrawLineReading reading;
    return ReadDrawLine(line, fields, reading) == DrawLineFault::None;
}

// The three columns every table needs, then the four payout columns (PayoutKind order).
enum class Column { Draw, Date, Result, Straight, Box, SetStraight, SetBox };
constexpr std::size_t kColumnCount = 7;
constexpr std::size_t kNeededColumns = 3;

std::optional<Column> ColumnNamed(std::u16string_view cell) {
    std::u16string name = NarrowedText(cell);
    name.erase(std::remove(name.begin(), name.end(), u'"'), name.end());
    while (!name.empty() && IsAsciiSpace(name.front())) name.erase(name.begin());
    while (!name.empty() && IsAsciiSpace(name.back())) name.pop_back();
    for (char16_t& c : name) {
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    }
    if (name == u"回号" || name == u"回" || name == u"draw" || name == u"draw_no") {
        return Column::Draw;
    }
    if (name == u"抽せん日" || name == u"日付" || name == u"date" || name == u"draw_date") {
        return Column::Date;
    }
    if (name == u"当せん番号" || name == u"番号" || name == u"number" || name == u"result" ||
        name == u"winning_number") {
        return Column::Result;
    }
    static constexpr std::array<std::u16string_view, kPayoutKindCount> kEnglish = {
        u"straight_payout", u"box_payout", u"set_straight_payout", u"set_box_payout"};
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        // The Japanese names narrowed as the cell is: セット(ストレート).
        if (name == kEnglish[k] || name == NarrowedText(kPayoutHeaderNames[k])) {
            return static_cast<Column>(kNeededColumns + k);
        }
    }
    return std::nullopt;
}

// Cells of a table line: at tabs when the header had one, else at commas with quotes.
std::vector<std::u16string> Cells(std::u16string_view line, bool tabs, DrawFields& fields) {
    std::vector<std::u16string> cells;
    if (tabs) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find(u'\t', start);
            cells.emplace_back(
                line.substr(start, tab == std::u16string_view::npos ? tab : tab - start));
            if (tab == std::u16string_view::npos) break;
            start = tab + 1;
        }
        for (std::u16string& cell : cells)
            cell.erase(std::remove(cell.begin(), cell.end(), u'"'), cell.end());
    } else {
        fields.Split(line);
        for (std::size_t i = 0; i < fields.size(); ++i) cells.emplace_back(fields[i]);
    }
    return cells;
}

// Tokens of a pasted line: split at blanks, tabs and commas; a weekday on its
// own (月, (月), 月曜日) is dropped.
std::vector<std::u16string> Tokens(std::u16string_view line) {
    const std::u16string narrow = NarrowedText(line);
    std::vector<std::u16string> tokens;
    std::u16string token;
    auto flush = [&]() {
        static constexpr std::u16string_view kDays = u"月火水木金土日";
        const bool weekday =
            (token.size() == 1 && kDays.find(token[0]) != std::u16string_view::npos) ||
            (token.size() == 3 && token.front() == u'(' && token.back() == u')' &&
             kDays.find(token[1]) != std::u16string_view::npos) ||
            (token.size() == 3 && token.substr(1) == u"曜日" &&
             kDays.find(token[0]) != std::u16string_view::npos);
        if (!token.empty() && !weekday) tokens.push_back(token);
        token.clear();
    };
    for (const char16_t c : narrow) {
        if (IsAsciiSpace(c) || c == u',') {
            flush();
        } else {
            token.push_back(c);
        }
    }
    flush();
    return tokens;
}

struct Reading {
    const ImportSource& source;
    std::uint32_t firstLine;
    std::vector<SourceDraw>& draws;
    std::u16string& error;

    bool Add(std::uint32_t line, std::u16string_view draw, std::u16string_view date,
             std::u16string_view result, const DrawPayouts& payouts = {}) {
        const auto number = InputDrawOf(draw);
        if (!number) return Fail(line, u"回号が読めません: " + std::u16string(draw));
        const auto when = InputDateOf(date);
        if (!when) return Fail(line, u"抽せん日が読めません: " + std::u16string(date));
        const auto digits = ResultOf(result);
        if (!digits) return Fail(line, u"当せん番号は4桁の数字です: " + std::u16string(result));
        SourceDraw read{*number, when->Key(), *digits, firstLine + line};
        read.SetPayouts(payouts);
        draws.push_back(read);
        return true;
    }
    // The payout cells of a table line (a column index below 0: not in the table).
    bool TablePayouts(std::uint32_t line, const std::vector<std::u16string>& cells,
                      const std::array<int, kColumnCount>& columns, DrawPayouts& payouts) {
        for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
            const int column = columns[kNeededColumns + k];
            if (column < 0 || static_cast<std::size_t>(column) >= cells.size()) continue;
            std::u16string cell = NarrowedText(cells[static_cast<std::size_t>(column)]);
            while (!cell.empty() && IsAsciiSpace(cell.back())) cell.pop_back();
            while (!cell.empty() && IsAsciiSpace(cell.front())) cell.erase(cell.begin());
            if (!ParsePayoutField(cell, payouts.amounts[k])) {
                return Fail(line, PayoutError(k, cell));
            }
        }
        return true;
    }
    bool Fail(std::uint32_t line, std::u16string_view why) {
        error = LineError(source, line, why);
        return false;
    }
};

}  // namespace

DrawPayouts SourceDraw::Payouts() const noexcept {
    DrawPayouts amounts;
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        if (payouts[k] != kNoPayout) amounts.amounts[k] = payouts[k];
    }
    return amounts;
}

void SourceDraw::SetPayouts(const DrawPayouts& amounts) noexcept {
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        payouts[k] =
            amounts.amounts[k] ? static_cast<std::int32_t>(*amounts.amounts[k]) : kNoPayout;
    }
}

std::u16string PayoutError(std::size_t kind, std::u16string_view text) {
    return std::u16string(kPayoutHeaderNames[kind]) +
           u"の払戻金は 0～99999999 の整数（円）か空です: " + std::u16string(text);
}

CalendarDate DateOfKey(std::uint32_t key) noexcept {
    return {static_cast<int>(key / 10000), static_cast<int>(key / 100 % 100),
            static_cast<int>(key % 100)};
}

bool ReadSource(const ImportSource& source, std::uint32_t firstLine, std::vector<SourceDraw>& draws,
                SourceForm& form, std::u16string& error) {
    std::string_view bytes = source.bytes;
    const bool bom = bytes.substr(0, kBom.size()) == kBom;
    if (bom) bytes.remove_prefix(kBom.size());
    if (LooksLikeJson(bytes)) {  // before the line checks: JSON may be one long line
        form = SourceForm::Json;
        return ReadJsonSource(source, bytes, firstLine, draws, error);
    }
    std::uint32_t badLine = 0;
    if (const auto why = NotText(source.bytes, badLine)) {
        error = LineError(source, badLine, *why);
        return false;
    }
    const Encoding encoding = bom ? Encoding::Utf8 : EncodingOf(bytes);

    // The form, from the first two lines that are not blank.
    std::u16string first;
    std::u16string second;
    std::u16string text;
    int seen = 0;
    ForEachLine(bytes, [&](std::uint32_t, std::string_view line) {
        if (!Decode(encoding, line, text) || IsBlank(text)) return true;
        (seen++ == 0 ? first : second) = text;
        return seen < 2;
    });
    DrawFields fields;
    std::array<int, kColumnCount> columns{};
    columns.fill(-1);
    const bool tabs = first.find(u'\t') != std::u16string::npos;
    if (seen == 2 && IsHistoryDrawLine(second, fields) && !IsHistoryDrawLine(first, fields)) {
        form = SourceForm::History;
    } else {
        const std::vector<std::u16string> header = Cells(first, tabs, fields);
        for (std::size_t i = 0; i < header.size(); ++i) {
            if (const auto column = ColumnNamed(header[i]);
                column && columns[static_cast<std::size_t>(*column)] < 0) {
                columns[static_cast<std::size_t>(*column)] = static_cast<int>(i);
            }
        }
        const bool named = std::all_of(columns.begin(), columns.begin() + kNeededColumns,
                                       [](int c) { return c >= 0; });
        form = named ? SourceForm::Table : SourceForm::Lines;
    }

    Reading reading{source, firstLine, draws, error};
    bool header = form != SourceForm::Lines;
    return ForEachLine(bytes, [&](std::uint32_t number, std::string_view line) {
        if (!Decode(encoding, line, text)) {
            return reading.Fail(number,
                                u"文字が読めません（UTF-8 でもコードページ 932 でもありません）");
        }
        if (form == SourceForm::History) {
            if (header) {
                header = false;
                return true;
            }
            text.erase(std::remove(text.begin(), text.end(), u'\r'), text.end());
            if (!IsHistoryDrawLine(text, fields)) {
                return reading.Fail(number, u"履歴の行の形ではありません");
            }
            DrawPayouts payouts;
            std::size_t bad = 0;
            if (!ReadPayoutFields(fields, payouts, bad)) {
                return reading.Fail(number, PayoutError(bad - kFirstPayoutField, fields[bad]));
            }
            const std::u16string_view draw = fields[0];
            return reading.Add(number, draw, fields[1], fields[3], payouts);
        }
        if (IsBlank(text)) return true;
        if (header) {
            header = false;
            return true;
        }
        if (form == SourceForm::Table) {
            const std::vector<std::u16string> cells = Cells(text, tabs, fields);
            const int needed = *std::max_element(columns.begin(), columns.begin() + kNeededColumns);
            if (static_cast<int>(cells.size()) <= needed) {
                return reading.Fail(number, u"列が足りません");
            }
            DrawPayouts payouts;
            if (!reading.TablePayouts(number, cells, columns, payouts)) return false;
            return reading.Add(number, cells[static_cast<std::size_t>(columns[0])],
                               cells[static_cast<std::size_t>(columns[1])],
                               cells[static_cast<std::size_t>(columns[2])], payouts);
        }
        const std::vector<std::u16string> tokens = Tokens(text);
        if (tokens.size() != 3) {
            return reading.Fail(number, u"「回号 抽せん日 当せん番号」の形ではありません");
        }
        return reading.Add(number, tokens[0], tokens[1], tokens[2]);
    });
}

}  // namespace corvalith
