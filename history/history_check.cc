// The file is read whole and walked with the writer's cursor, which applies
// the reader's line rule line by line and says why it refuses a line; each
// refused line is then read once more to name the field and show its text.
// The byte 0x0A is never part of a two-byte character, so a line read on its
// own reads as it does in the forecast reader's stream.
#include "history/history_check.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "history/draw_fields.h"
#include "history/draw_payouts.h"
#include "history/history_image.h"
#include "history/line_reader.h"
#include "text/cp932.h"

namespace corvalith {
namespace {

constexpr std::size_t kReadChunk = std::size_t{64} * 1024;
constexpr std::size_t kShownUnits = 40;  // a field's text is shown up to this length

// `n` in decimal with a comma every three digits.
std::u16string Grouped(std::uintmax_t n) {
    const std::string digits = std::to_string(n);
    std::u16string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += u',';
        text += static_cast<char16_t>(digits[i]);
    }
    return text;
}

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Shown(std::u16string_view text) {
    if (text.size() <= kShownUnits) return std::u16string(text);
    return std::u16string(text.substr(0, kShownUnits)) + u"…";
}

// Whether `bytes` are valid UTF-8 with at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view bytes) noexcept {
    bool beyond = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            code = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            code = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            code = b & 0x07u;
        } else {
            return false;
        }
        if (bytes.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0u) != 0x80u) return false;
            code = (code << 6) | (c & 0x3Fu);
        }
        const std::uint32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        beyond = true;
        i += extra + 1;
    }
    return beyond;
}

// The 0-based offset of the first byte of `line` that does not start a
// code page 932 character, walking character by character.
std::size_t FirstInvalidByte(std::string_view line) {
    const Cp932Decoder decoder;
    std::size_t at = 0;
    while (at < line.size()) {
        if (decoder.IsValid(line.substr(at, 1))) {
            ++at;
        } else if (at + 1 < line.size() && decoder.IsValid(line.substr(at, 2))) {
            at += 2;
        } else {
            break;
        }
    }
    return at;
}

class Diagnosis {
  public:
    explicit Diagnosis(HistoryDiagnosis& result) : result_(result) {}

    void Add(HistoryProblem problem) {
        ++result_.problemCount;
        if (!problem.payout && !result_.refusal) result_.refusal = problem;
        if (result_.problems.size() < kMaxListedProblems) {
            result_.problems.push_back(std::move(problem));
        }
    }
    void AddFile(std::u16string reason) { Add({0, 0, std::move(reason), {}, false}); }

  private:
    HistoryDiagnosis& result_;
};

// Reads the whole file, at most one byte past `limit`. False (with the
// problem added) when it cannot be read as a regular file within the limit.
bool ReadWhole(const std::string& path, std::size_t limit, std::string& bytes, Diagnosis& found) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        found.AddFile(u"ファイルを開けません（" + Ascii(std::strerror(errno)) + u"）");
        return false;
    }
    struct stat info {};
    bool ok = false;
    if (::fstat(fd, &info) != 0) {
        found.AddFile(u"ファイルを調べられません（" + Ascii(std::strerror(errno)) + u"）");
    } else if (!S_ISREG(info.st_mode)) {
        found.AddFile(u"通常のファイルではありません");
    } else if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        found.AddFile(u"ファイルが大きすぎます（" +
                      Grouped(static_cast<std::uintmax_t>(info.st_size)) + u" バイト、上限 " +
                      Grouped(limit) + u" バイト）");
    } else {
        ok = true;
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        for (;;) {
            const std::size_t old = bytes.size();
            bytes.resize(old + kReadChunk);
            ssize_t got;
            do {
                got = ::read(fd, bytes.data() + old, kReadChunk);
            } while (got < 0 && errno == EINTR);
            bytes.resize(old + static_cast<std::size_t>(got < 0 ? 0 : got));
            if (got < 0) {
                found.AddFile(u"ファイルを読めません（" + Ascii(std::strerror(errno)) + u"）");
                ok = false;
                break;
            }
            if (got == 0) break;
            if (bytes.size() > limit) {
                found.AddFile(u"ファイルが読む間に上限 " + Grouped(limit) + u" バイトを超えました");
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    return ok;
}

// The problem of a line the cursor refused for `refusal`.
HistoryProblem LineProblem(std::size_t lineNumber, std::string_view line, LineRefusal refusal,
                           std::size_t maxLineBytes) {
    HistoryProblem problem{lineNumber, 0, {}, {}, false};
    if (refusal == LineRefusal::TooLong) {
        problem.reason = u"行が長すぎます（" + Grouped(line.size()) + u" バイト、上限 " +
                         Grouped(maxLineBytes) + u" バイト）";
        return problem;
    }
    if (refusal == LineRefusal::NotCp932) {
        if (lineNumber == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
            problem.reason = u"先頭に UTF-8 のバイト順マーク（BOM）があります";
        } else if (lineNumber == 1 &&
                   (line.substr(0, 2) == "\xFF\xFE" || line.substr(0, 2) == "\xFE\xFF")) {
            problem.reason =
                u"先頭に UTF-16 のバイト順マーク（BOM）があります（コードページ 932 "
                u"ではありません）";
        } else if (IsUtf8BeyondAscii(line)) {
            problem.reason = u"UTF-8 で保存されています（コードページ 932 ではありません）";
        } else {
            const std::size_t at = FirstInvalidByte(line);
            constexpr char16_t kHex[] = u"0123456789ABCDEF";
            const auto b = static_cast<unsigned char>(at < line.size() ? line[at] : 0);
            problem.reason = u"コードページ 932 として読めないバイトがあります（" +
                             Grouped(at + 1) + u" バイト目、0x" + kHex[b >> 4] + kHex[b & 0xF] +
                             u"）";
        }
        return problem;
    }
    // A field rule: the line decodes; read it again to name the field.
    std::u16string text;
    if (!DecodeHistoryLine(line, text)) return problem;  // the cursor decoded it: never
    DrawFields fields;
    fields.Split(text);
    switch (refusal) {
        case LineRefusal::TooFewFields:
            if (text.empty()) {
                problem.reason = u"空の行";
            } else {
                problem.reason = u"列が足りません（" + Grouped(fields.size()) + u" 列、" +
                                 Grouped(kDrawLineFields) + u" 列以上が必要です）";
                problem.text = Shown(text);
            }
            break;
        case LineRefusal::DrawNumber:
            problem.field = 1;
            problem.reason = u"1 列目の回号が 第N回 の形ではありません";
            problem.text = Shown(fields[0]);
            break;
        case LineRefusal::Date:
            problem.field = 2;
            problem.reason = u"2 列目の抽せん日が YYYY/M/D の形ではありません";
            problem.text = Shown(fields[1]);
            break;
        default:
            break;
    }
    return problem;
}

// The payout fields of a draw line the reader accepts.
void CheckPayouts(std::size_t lineNumber, std::string_view line, std::u16string& text,
                  DrawFields& fields, Diagnosis& found) {
    if (!DecodeHistoryLine(line, text)) return;  // the cursor accepted it: never
    fields.Split(text);
    DrawPayouts payouts;
    std::size_t bad = 0;
    if (ReadPayoutFields(fields, payouts, bad)) return;
    const std::size_t kind = bad - kFirstPayoutField;
    found.Add({lineNumber, bad + 1,
               Grouped(bad + 1) + u" 列目の" + std::u16string(kPayoutHeaderNames[kind]) +
                   u"の払戻金が 0～" + Grouped(kMaxPayoutYen) + u" の整数ではありません",
               Shown(fields[bad]), true});
}

void Diagnose(const std::string& path, const HistoryLimits& limits, HistoryDiagnosis& result) {
    Diagnosis found(result);
    std::string bytes;
    if (!ReadWhole(path, limits.maxFileBytes, bytes, found)) return;
    if (bytes.empty()) {
        found.AddFile(u"ファイルが空です（1 行目のヘッダ行がありません）");
        return;
    }
    DrawLineCursor cursor(limits, bytes, 0);
    DrawRecord record;
    std::int32_t first = 0;
    std::u16string text;
    DrawFields fields;
    std::size_t draws = 0;  // draw lines, refused ones included
    bool overDraws = false;
    for (;;) {
        const DrawLineCursor::Step step = cursor.Next(record, first);
        if (step == DrawLineCursor::Step::End) break;
        const std::size_t lineNumber = cursor.LinesTaken();
        if (lineNumber > 1) {
            if (draws >= limits.maxDraws && !overDraws) {
                overDraws = true;
                found.Add(
                    {lineNumber,
                     0,
                     u"抽せんの行が上限（" + Grouped(limits.maxDraws) + u" 回）を超えています",
                     {},
                     false});
            }
            ++draws;
        }
        if (step == DrawLineCursor::Step::Refused) {
            found.Add(
                LineProblem(lineNumber, cursor.LastLine(), cursor.Refusal(), limits.maxLineBytes));
        } else {
            CheckPayouts(lineNumber, cursor.LastLine(), text, fields, found);
        }
    }
    // A whole file in UTF-8 is said first: it explains every line after it.
    if (result.refusal && IsUtf8BeyondAscii(bytes)) {
        HistoryProblem whole{
            0, 0, u"UTF-8 で保存されています（コードページ 932 ではありません）", {}, false};
        result.refusal = whole;
        result.problems.insert(result.problems.begin(), std::move(whole));
        if (result.problems.size() > kMaxListedProblems) result.problems.pop_back();
        ++result.problemCount;
    }
}

}  // namespace

HistoryDiagnosis DiagnoseHistory(const std::string& path, const HistoryLimits& limits) noexcept {
    HistoryDiagnosis result;
    try {
        Diagnose(path, limits, result);
    } catch (...) {
        result = {};
        result.outOfMemory = true;
    }
    return result;
}

std::u16string ProblemLine(const HistoryProblem& problem) {
    std::u16string line;
    if (problem.line > 0) line = Grouped(problem.line) + u" 行目: ";
    line += problem.reason;
    if (!problem.text.empty()) line += u"（「" + problem.text + u"」）";
    return line;
}

std::u16string ProblemLines(const HistoryDiagnosis& diagnosis) {
    std::u16string lines;
    for (const HistoryProblem& problem : diagnosis.problems) lines += ProblemLine(problem) + u'\n';
    if (diagnosis.problemCount > diagnosis.problems.size()) {
        lines += u"ほか " + Grouped(diagnosis.problemCount - diagnosis.problems.size()) +
                 u" 件の問題があります\n";
    }
    return lines;
}

}  // namespace corvalith
