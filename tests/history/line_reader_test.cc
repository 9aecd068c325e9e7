// HistoryLineReader against a plain split of the same text: random lines with
// LF, CR and two-byte characters at every offset, so that the word-at-a-time
// search meets them in every lane.
#include "history/line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

// Split at LF, every CR dropped, no empty line after a final LF.
std::vector<std::u16string> PlainSplit(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::u16string line;
    for (const char16_t c : text) {
        if (c == u'\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != u'\r') {
            line.push_back(c);
        }
    }
    if (!text.empty() && text.back() != u'\n') lines.push_back(line);
    return lines;
}

TEST(HistoryLineReader, MatchesAPlainSplitWhereverLineBreaksFall) {
    testing::TempDir dir;
    std::mt19937 random(10);
    // Pieces with their UTF-16 text: ASCII, LF, CR, a tab (another control
    // character), 第 (two bytes in CP932) and a half-width katakana (above 0x8000).
    const std::vector<std::pair<std::string, std::u16string>> pieces = {
        {"a", u"a"},   {"7", u"7"},         {"\n", u"\n"}, {"\r", u"\r"},
        {"\t", u"\t"}, {"\x91\xE6", u"第"}, {",", u","},   {"\xB1", u"\uFF71"}};
    std::discrete_distribution<std::size_t> pick({30, 20, 6, 3, 2, 6, 5, 2});
    std::uniform_int_distribution<int> length(0, 120);
    for (int n = 0; n < 300; ++n) {
        std::string bytes;
        std::u16string text;
        for (int k = length(random); k > 0; --k) {
            const auto& piece = pieces[pick(random)];
            bytes += piece.first;
            text += piece.second;
        }
        const std::string path = dir.Write("lines.csv", bytes);
        HistoryLineReader reader(1 << 16, 1 << 20);
        ASSERT_TRUE(reader.Open(path));
        std::vector<std::u16string> lines;
        std::u16string line;
        LineStatus status;
        while ((status = reader.Next(line)) == LineStatus::Line) lines.push_back(line);
        EXPECT_EQ(status, LineStatus::End) << "case " << n;
        EXPECT_EQ(lines, PlainSplit(text)) << "case " << n;
    }
}

}  // namespace
}  // namespace corvalith
