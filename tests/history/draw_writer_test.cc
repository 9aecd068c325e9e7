// The writing direction of the history format: the style taken from a file's
// last lines, the line written in it, and the change of one draw's fields.
#include "history/draw_writer.h"

#include <gtest/gtest.h>

#include "tests/support/history_files.h"

namespace corvalith {
namespace {

using testing::ToCp932;

HistoryImage Image(const std::string& utf8) {
    HistoryImage image;
    image.bytes = ToCp932(utf8);
    EXPECT_TRUE(ReadHistoryImage(kHistoryLimits, image)) << utf8;
    return image;
}

TEST(DrawWriter, TheNewLineFollowsTheFilesStyle) {
    const struct {
        const char* history;
        const char* line;
    } cases[] = {
        {"h\n", "第9回,2026/8/24,月,0097,-\n"},  // no draws: the plain style
        {"h\n第8回,2026/8/21,金,1,-\n", "第9回,2026/8/24,月,0097,-\n"},
        {"h\n第8回,2026/08/21,金,1,-\n", "第9回,2026/08/24,月,0097,-\n"},
        {"h\n第7回,2026/08/01,土,1,-\n第8回,2026/10/21,水,1,-\n", "第9回,2026/08/24,月,0097,-\n"},
        {"h\r\n第8回,2026/8/21,金,1,-\r\n", "第9回,2026/8/24,月,0097,-\r\n"},
        {"h\r\n第8回,2026/8/21,金,1,-", "第9回,2026/8/24,月,0097,-\r\n"},
        {"h\n\"第8回\",\"2026/8/21\",\"金\",\"1\",\"-\"\n",
         "\"第9回\",\"2026/8/24\",\"月\",\"0097\",\"-\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.history);
        const HistoryImage image = Image(c.history);
        EXPECT_EQ(FormatDrawLine(StyleOf(image), 9, {2026, 8, 24}, {'0', '0', '9', '7'}),
                  ToCp932(c.line));
    }
    EXPECT_EQ(NewHistoryBytes(), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"));
}

TEST(DrawWriter, WeekdaysOfKnownDates) {
    const struct {
        CalendarDate date;
        char16_t weekday;
    } cases[] = {{{1994, 10, 7}, u'金'},
                 {{2000, 2, 29}, u'火'},
                 {{2026, 8, 24}, u'月'},
                 {{1970, 1, 1}, u'木'},
                 {{2026, 8, 23}, u'日'}};
    for (const auto& c : cases) EXPECT_EQ(WeekdayOf(c.date), c.weekday) << c.date.Key();
    EXPECT_FALSE(IsCalendarDate({2026, 2, 29}));
    EXPECT_TRUE(IsCalendarDate({2024, 2, 29}));
}

TEST(DrawWriter, ReplacingChangesTheResultAndTheDateWithItsWeekday) {
    const DrawPayouts quad{{279700, std::nullopt, std::nullopt, std::nullopt}};
    const struct {
        const char* line;
        std::optional<CalendarDate> date;
        std::optional<DrawPayouts> payouts;
        const char* expected;
    } cases[] = {
        {"第8回,2026/8/21,金,9577,-,memo", std::nullopt, std::nullopt,
         "第8回,2026/8/21,金,1234,-,memo"},
        {"第8回,2026/8/21,金,9577,-\r", CalendarDate{2026, 8, 22}, std::nullopt,
         "第8回,2026/8/22,土,1234,-\r"},
        {"\"第8回\",\"2026/8/21\",\"a,b\",\"95\",\"-\"", CalendarDate{2026, 12, 1}, std::nullopt,
         "\"第8回\",\"2026/12/1\",\"火\",\"1234\",\"-\""},
        {"第8回,2026/8/21,金,9577,-,1,2,3,4\r", std::nullopt, quad,
         "第8回,2026/8/21,金,1234,-,279700,,,\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ReplaceDrawFields(ToCp932(c.line), LineStyle{}, {'1', '2', '3', '4'}, c.date,
                                    c.payouts),
                  ToCp932(c.expected));
    }
}

// A line gains payouts after its fifth field and keeps every other byte;
// the five-name header gains the payout names, any other header stays.
TEST(DrawWriter, PayoutFieldsAndTheHeaderThatNamesThem) {
    const DrawPayouts all{{942600, 78500, 510500, 39200}};
    const struct {
        const char* line;
        const char* expected;
    } lines[] = {
        {"第1回,1994/10/07,金,1149,-", "第1回,1994/10/07,金,1149,-,942600,78500,510500,39200"},
        {"第1回,1994/10/7,金,1149,-\r", "第1回,1994/10/7,金,1149,-,942600,78500,510500,39200\r"},
        {"\"第1回\",\"1994/10/7\",\"金\",\"1149\",\"x,y\"",
         "\"第1回\",\"1994/10/7\",\"金\",\"1149\",\"x,y\",\"942600\",\"78500\",\"510500\","
         "\"39200\""},
        {"第1回,1994/10/7,金,1149,-,,,,", "第1回,1994/10/7,金,1149,-,942600,78500,510500,39200"},
    };
    for (const auto& c : lines) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(WithPayoutFields(ToCp932(c.line), all), ToCp932(c.expected));
    }
    const std::string names = ",ストレート,ボックス,セット（ストレート）,セット（ボックス）";
    EXPECT_EQ(HeaderWithPayouts(ToCp932("回号,抽せん日,曜日,当せん番号,備考\r")),
              ToCp932("回号,抽せん日,曜日,当せん番号,備考" + names + "\r"));
    EXPECT_EQ(HeaderWithPayouts(ToCp932("\"回号\",\"抽せん日\",\"曜日\",\"当せん番号\",\"備考\"")),
              ToCp932("\"回号\",\"抽せん日\",\"曜日\",\"当せん番号\",\"備考\",\"ストレート\","
                      "\"ボックス\",\"セット（ストレート）\",\"セット（ボックス）\""));
    EXPECT_EQ(HeaderWithPayouts(ToCp932("回号,抽せん日,曜日,当せん番号,備考" + names)),
              std::nullopt);
    EXPECT_EQ(HeaderWithPayouts("draws"), std::nullopt);
    EXPECT_EQ(
        FormatDrawLine(LineStyle{true, false, true}, 9, CalendarDate{2003, 11, 28},
                       {'5', '5', '5', '5'}, DrawPayouts{{279700, {}, {}, {}}}),
        ToCp932("\"第9回\",\"2003/11/28\",\"金\",\"5555\",\"-\",\"279700\",\"\",\"\",\"\"\r\n"));
}

TEST(HistoryImage, ReadsWhatTheReaderReadsAndRefusesWhatItRefuses) {
    const struct {
        const char* utf8;
        bool loads;
        std::size_t draws;
    } cases[] = {
        {"h", true, 0},
        {"h\n第1回,2001/5/7,a,0487,b\n第-3回,2001/5/8,a,91,b", true, 2},
        {"h\n第1回,2001/5/7,a,0487,b\n\n", false, 0},
        {"h\n第1回,2001/5/7,a,0487\n", false, 0},
        {"h\n第1回,01/5/7,a,0487,b\n", false, 0},
        {"h\n第2147483648回,2001/5/7,a,0487,b\n", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        HistoryImage image;
        image.bytes = ToCp932(c.utf8);
        EXPECT_EQ(ReadHistoryImage(kHistoryLimits, image), c.loads) << c.utf8;
        if (c.loads) {
            EXPECT_EQ(image.draws.size(), c.draws) << c.utf8;
        }
    }
}

}  // namespace
}  // namespace corvalith
