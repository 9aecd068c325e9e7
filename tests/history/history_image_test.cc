// The writer's reading of a history in memory gives, line by line, what the
// reader gives for the same file: the lines read straight from their bytes
// and the ones decoded first alike. And a plan's check reads only the lines
// that are new, yet refuses every content that does not hold.
#include "history/history_image.h"

#include <gtest/gtest.h>

#include <string>

#include "history/draw_number.h"
#include "history/draw_table.h"
#include "history/draw_writer.h"
#include "history/safe_write.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/cp932.h"
#include "text/cp932_table.h"

namespace corvalith {
namespace {

using testing::TempDir;
using testing::ToCp932;

// Draw lines in UTF-8 (or raw bytes when `raw`), each read both ways.
struct LineCase {
    const char* line;
    bool raw;
};
constexpr LineCase kLines[] = {
    {"第7054回,2026/8/21,金,9577,-", false},
    {"第7054回,2026/08/01,金,9577,-\r", false},
    {"第0012回,2026/8/21,金,0097,-,memo,more", false},
    {"第123456789回,2026/8/21,金,12,-", false},
    {"第1234567890回,2026/8/21,金,12,-", false},  // ten digits: decoded
    {"第2147483648回,2026/8/21,金,12,-", false},  // beyond 32 bits
    {"第 12回,2026/8/21,金,1234,-", false},       // a space the strict rule skips
    {"第+12回,2026/8/21,金,1234,-", false},
    {"第-3回,2026/8/21,金,1234,-", false},
    {"第回,2026/8/21,金,1234,-", false},
    {"第12回,2026/8/21,金,１２３４,-", false},  // full-width result
    {"第12回,2026/8/21,金,123456,-", false},
    {"第12回,2026/8/21,金,,-", false},
    {"第12回,2026/8/21,ｷﾝ,1234,-", false},  // half-width katakana
    {"第12回,2026/8/21,金,1234", false},    // four fields
    {"第12回,2026/8/211,金,1234,-", false},
    {"第12回,26/8/21,金,1234,-", false},
    {"第12回,2026-8-21,金,1234,-", false},
    {"\"第12回\",\"2026/8/21\",\"金\",\"1234\",\"-\"", false},
    {"第12回,2026/8/21,\"a,b\",1234,-", false},
    {"第1\r2回,2026/8/21,金,1234,-", false},  // a CR inside
    {"x第12回,2026/8/21,金,1234,-", false},
    {"第12回x,2026/8/21,金,1234,-", false},
    {"第12回,2026/8/21,金,1234,第99回", false},  // a later 第N回 is no match first
    {"\x91\xE6"
     "12\x89\xF1,2026/8/21,\xA0,1234,-",
     true},  // 0xA0 is no character
    {"\x91\xE6"
     "12\x89\xF1,2026/8/21,\x81",
     true},  // cut inside a character
    {"\x91\xE6"
     "12\x89\xF1,2026/8/21,\x81,1234,-",
     true},  // a comma as second byte
    {"\x91\xE6"
     "12\x89\xF1,2026/8/21,\x82\x2C,1234,-",
     true},
    {"", false},
};

TEST(HistoryImage, EveryLineReadsAsTheReaderReadsIt) {
    TempDir dir;
    for (const LineCase& c : kLines) {
        const std::string line = c.raw ? std::string(c.line) : ToCp932(c.line);
        const std::string bytes = ToCp932("回号,抽せん日,曜日,当せん番号,備考\n") + line + "\n";
        const std::string path = dir.Write("h.csv", bytes);
        DrawTable table;
        const bool readerLoads = LoadDrawTable(path, table) == 0;
        HistoryImage image;
        image.bytes = bytes;
        ASSERT_EQ(ReadHistoryImage(kHistoryLimits, image), readerLoads) << c.line;
        if (!readerLoads) continue;
        ASSERT_EQ(image.draws.size(), 1u) << c.line;
        EXPECT_EQ(image.draws[0].number, table.numbers[0]) << c.line;
        for (std::size_t p = 0; p < kPositionCount; ++p) {
            EXPECT_EQ(DigitValue(image.draws[0].result[p]), table.values[p][0]) << c.line;
        }
        EXPECT_EQ(image.highest, ScanHighestDrawNumber(path)) << c.line;
        EXPECT_EQ(image.draws[0].begin, bytes.find('\n') + 1) << c.line;
    }
}

TEST(HistoryImage, DatesAreTheFieldsNumbers) {
    const struct {
        const char* date;
        std::uint32_t key;
    } cases[] = {{"2026/8/21", 20260821},
                 {"2026/08/01", 20260801},
                 {"0001/1/1", 10101},
                 {"9999/99/99", 99999999}};
    for (const auto& c : cases) {
        for (const char* quote : {"", "\""}) {
            HistoryImage image;
            image.bytes = ToCp932(std::string("h\n第1回,") + quote + c.date + quote + ",月,1,-\n");
            ASSERT_TRUE(ReadHistoryImage(kHistoryLimits, image)) << c.date;
            EXPECT_EQ(image.draws[0].dateKey, c.key) << c.date << quote;
        }
    }
}

// What the byte reading relies on: no two-byte character ends in a byte of
// the characters it looks for, and 第 and 回 are the bytes it compares.
TEST(HistoryImage, TheSecondByteOfACharacterIsNeverAFieldCharacter) {
    const Cp932Decoder decoder;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (const char trail : std::string_view(",\"\r\n/0123456789")) {
            const std::string pair = {static_cast<char>(lead), trail};
            EXPECT_FALSE(decoder.IsValid(pair) && cp932::kSingle[lead] == cp932::kLeadByte)
                << std::hex << lead;
        }
    }
    std::u16string out;
    ASSERT_TRUE(decoder.Decode("\x91\xE6\x89\xF1", out));
    EXPECT_EQ(out, u"第回");
}

TEST(HistoryImage, ValidityIsWhatTheDecoderAccepts) {
    const Cp932Decoder decoder;
    for (unsigned first = 0; first <= 0xFF; ++first) {
        for (const unsigned second : {0x00u, 0x40u, 0x7Fu, 0x80u, 0x9Fu, 0xA1u, 0xFCu, 0xFDu}) {
            const std::string bytes = {static_cast<char>(first), static_cast<char>(second), 'a'};
            std::u16string out;
            EXPECT_EQ(decoder.IsValid(bytes), decoder.Decode(bytes, out)) << first << ' ' << second;
            EXPECT_EQ(decoder.IsValid(bytes.substr(0, 1)), decoder.Decode(bytes.substr(0, 1), out));
        }
    }
}

// Appends `count` draws after the highest, described by count and accessor.
HistoryEdit AppendMany(std::size_t count, char wrongAt = 0) {
    return [count, wrongAt](const HistoryImage& history, EditPlan& plan) {
        plan.bytes = history.bytes;
        if (!history.endsWithBreak) plan.bytes += '\n';
        for (std::size_t k = 0; k < count; ++k) {
            const auto digit = static_cast<char>('0' + k % 10);
            plan.bytes +=
                FormatDrawLine(StyleOf(history), history.highest + 1 + static_cast<int>(k),
                               {2026, 9, 1}, {digit, digit, digit, digit});
        }
        plan.drawCount = history.draws.size() + count;
        plan.appendedCount = count;
        const std::int32_t first = history.highest + 1;
        const std::size_t from = history.draws.size();
        plan.appendedDraw = [first, from, wrongAt](std::size_t k) {
            const auto digit =
                static_cast<char16_t>(k == 2 && wrongAt != 0 ? wrongAt : '0' + k % 10);
            return ExpectedDraw{
                from + k, first + static_cast<std::int32_t>(k), {digit, digit, digit, digit}};
        };
        return true;
    };
}

TEST(SafeWrite, AppendedDrawsAreCheckedByTheirAccessor) {
    TempDir dir;
    for (const bool lastBreak : {true, false}) {
        std::string original = testing::MakeHistory({"0487", "1234"});
        if (!lastBreak) original.pop_back();
        const std::string path = dir.Write("history.csv", original);
        EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, AppendMany(5, '7'), false).status,
                  WriteStatus::PlanDiffers);
        EXPECT_EQ(testing::ReadFile(path), original);
        const HistoryEdit tooFew = [](const HistoryImage& history, EditPlan& plan) {
            const bool made = AppendMany(5)(history, plan);
            plan.appendedCount = 4;  // the fifth is not described
            return made;
        };
        EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, tooFew, false).status,
                  WriteStatus::PlanDiffers);
        EXPECT_EQ(testing::ReadFile(path), original);
        ASSERT_EQ(UpdateHistory(SystemFileSystem(), path, AppendMany(5), false).status,
                  WriteStatus::Ok);
        HistoryImage after;
        after.bytes = testing::ReadFile(path);
        ASSERT_TRUE(ReadHistoryImage(kHistoryLimits, after));
        ASSERT_EQ(after.draws.size(), 7u);
        EXPECT_EQ(after.draws[6].number, 7);
        EXPECT_EQ(after.draws[6].result, (ResultCharacters{u'4', u'4', u'4', u'4'}));
    }
}

// A new content that changes a line the old one shares most bytes with is
// read again from that line on.
TEST(SafeWrite, AChangeInsideTheSharedLinesIsSeen) {
    TempDir dir;
    const std::string original = testing::MakeHistory({"0487", "1234", "5678"});
    const std::string path = dir.Write("history.csv", original);
    const HistoryEdit silent = [](const HistoryImage& history, EditPlan& plan) {
        plan.bytes = history.bytes;
        plan.bytes[plan.bytes.size() - 4] = '9';  // 5678 → 5698, told to nobody
        plan.drawCount = history.draws.size();
        return true;
    };
    EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, silent, false).status,
              WriteStatus::PlanDiffers);
    const HistoryEdit broken = [](const HistoryImage& history, EditPlan& plan) {
        plan.bytes = history.bytes + "garbage\n";
        plan.drawCount = history.draws.size() + 1;
        plan.changed.push_back({history.draws.size(), 4, {u'1', u'1', u'1', u'1'}});
        return true;
    };
    EXPECT_EQ(UpdateHistory(SystemFileSystem(), path, broken, false).status,
              WriteStatus::PlanDoesNotLoad);
    EXPECT_EQ(testing::ReadFile(path), original);
}

}  // namespace
}  // namespace corvalith
