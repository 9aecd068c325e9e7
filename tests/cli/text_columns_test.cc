// Terminal columns: display widths, tables that line up with Japanese
// cells, and the progress line that leaves nothing behind.
#include "report/text_columns.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/progress_line.h"

namespace corvalith {
namespace {

TEST(DisplayWidth, WideNarrowAndBroken) {
    EXPECT_EQ(DisplayWidth(""), 0u);
    EXPECT_EQ(DisplayWidth("abc 123"), 7u);
    EXPECT_EQ(DisplayWidth("千の位"), 6u);
    EXPECT_EQ(DisplayWidth("パワースペクトル"), 16u);
    EXPECT_EQ(DisplayWidth("第1回〜第2回"), 12u);
    EXPECT_EQ(DisplayWidth("ＡＢ"), 4u);              // full-width Latin
    EXPECT_EQ(DisplayWidth("ｱｲ"), 2u);                // half-width katakana
    EXPECT_EQ(DisplayWidth("χ²"), 2u);                // Greek and superscript are narrow
    EXPECT_EQ(DisplayWidth("e\xCC\x81"), 1u);         // combining acute accent
    EXPECT_EQ(DisplayWidth("\xFF\xFE"), 2u);          // invalid bytes, one column each
    EXPECT_EQ(DisplayWidth("\xE5\x8D"), 2u);          // a cut-off three-byte sequence
    EXPECT_EQ(DisplayWidth("\xF0\x9F\x98\x80"), 2u);  // an emoji
}

TEST(DisplayWidth, Pad) {
    EXPECT_EQ(Pad("位", 5, Align::Left), "位   ");
    EXPECT_EQ(Pad("位", 5, Align::Right), "   位");
    EXPECT_EQ(Pad("longer", 3, Align::Right), "longer");
}

// The display column at which each cell of each row ends.
std::vector<std::size_t> CellEnds(const std::string& line) {
    std::vector<std::size_t> ends;
    std::size_t column = 0;
    bool inCell = false;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        const std::string c = line.substr(i, length);
        const bool space = c == " " && (i + 1 >= line.size() || line[i + 1] == ' ' ||
                                        (i > 0 && line[i - 1] == ' '));
        if (inCell && space) ends.push_back(column);
        inCell = !space;
        column += DisplayWidth(c);
        i += length;
    }
    if (inCell) ends.push_back(column);
    return ends;
}

TEST(TextTable, ColumnsLineUpWithWideCells) {
    TextTable table({Align::Left, Align::Right, Align::Right});
    table.AddRow({"位", "的中率", "p値"});
    table.AddRow({"千の位", "10.00%", "0.5000"});
    table.AddRow({"x", "9%", "<0.0001"});
    const std::string text = table.Render();
    std::istringstream lines(text);
    std::vector<std::vector<std::size_t>> ends;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(line.back(), ' ');
        ends.push_back(CellEnds(line));
    }
    ASSERT_EQ(ends.size(), 3u);
    // Right-aligned columns end in the same display column on every row.
    for (std::size_t row = 1; row < ends.size(); ++row) {
        ASSERT_EQ(ends[row].size(), 3u) << text;
        EXPECT_EQ(ends[row][1], ends[0][1]) << text;
        EXPECT_EQ(ends[row][2], ends[0][2]) << text;
    }
    // The left-aligned first column is as wide as 千の位 plus two spaces.
    EXPECT_EQ(text.substr(0, text.find('\n')).find("的中率"), std::string("位      ").size());
}

// What a terminal shows after `written`: carriage returns go back to the
// start of the line, later characters overwrite earlier ones.
std::string Shown(const std::string& written) {
    std::string line;
    std::size_t at = 0;
    for (const char c : written) {
        if (c == '\r') {
            at = 0;
            continue;
        }
        if (at < line.size()) {
            line[at] = c;
        } else {
            line.push_back(c);
        }
        ++at;
    }
    return line;
}

TEST(ProgressLine, UpdatesInPlaceAndErasesItself) {
    std::ostringstream err;
    {
        ProgressLine progress(err, "run");
        progress.Update(0, 200);
        progress.Update(1, 200);  // still 0 %: not rewritten
        EXPECT_EQ(Shown(err.str()), "run 0/200 (0%)");
        progress.Update(100, 200);
        EXPECT_EQ(Shown(err.str()), "run 100/200 (50%)");
        progress.Update(200, 200);
        EXPECT_EQ(Shown(err.str()), "run 200/200 (100%)");
    }
    EXPECT_EQ(err.str().find('\n'), std::string::npos);
    EXPECT_EQ(Shown(err.str()).find_first_not_of(' '), std::string::npos);
    EXPECT_EQ(err.str().back(), '\r');
}

TEST(ProgressLine, FromManyThreadsOnlyForward) {
    std::ostringstream err;
    {
        ProgressLine progress(err, "x");
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&progress, t] {
                for (std::size_t i = t; i <= 1000; i += 4) progress.Update(i, 1000);
            });
        }
        for (auto& thread : threads) thread.join();
        std::size_t returns = 0;
        for (const char c : err.str()) returns += c == '\r';
        EXPECT_LE(returns, 101u);
        EXPECT_EQ(Shown(err.str()), "x 1000/1000 (100%)");
        progress.Erase();
    }
    EXPECT_EQ(Shown(err.str()).find_first_not_of(' '), std::string::npos);
}

TEST(ProgressLine, NothingWrittenWhenNeverUpdated) {
    std::ostringstream err;
    { ProgressLine progress(err, "x"); }
    EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace corvalith
