// The payout fields past the fifth: the amounts a line carries, the lines
// without them, and the fields refused with their line and field named.
#include "history/draw_payouts.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dsp/status.h"
#include "history/draw_table.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::TempDir;
using testing::ToCp932;

constexpr const char* kHeader = "回号,抽せん日,曜日,当せん番号,備考\n";

std::string WriteHistory(const TempDir& dir, const std::string& utf8) {
    return dir.Write("h.csv", ToCp932(utf8));
}

struct FieldCase {
    std::u16string_view field;
    bool accepted;
    std::optional<std::int64_t> amount;
};

TEST(ParsePayoutField, AcceptsEmptyOrWholeYenWithinTheLimitOnly) {
    const FieldCase cases[] = {
        {u"", true, std::nullopt},        {u"0", true, 0},
        {u"279700", true, 279700},        {u"99999999", true, 99'999'999},
        {u"00900000", true, 900000},      {u"100000000", false, std::nullopt},
        {u"-1", false, std::nullopt},     {u"1,000", false, std::nullopt},
        {u" 900", false, std::nullopt},   {u"900.0", false, std::nullopt},
        {u"１２３", false, std::nullopt}, {u"abc", false, std::nullopt},
    };
    for (const FieldCase& c : cases) {
        std::optional<std::int64_t> amount = 12345;
        EXPECT_EQ(ParsePayoutField(c.field, amount), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(amount, c.amount);
        }
    }
}

TEST(LoadDrawPayouts, ReadsMixedLinesInTheOrderOfTheDrawTable) {
    TempDir dir;
    const std::string path =
        WriteHistory(dir, std::string(kHeader) +
                              "第1回,2024/1/4,木,1234,,1069100,44500,534500,22200\n"
                              "第2回,2024/1/5,金,5678,\n"
                              "\"第3回\",2024/1/8,月,\"7777\",,279700,,,\r\n"
                              "第4回,2024/1/9,火,0123,,900000\n");
    std::vector<DrawPayouts> payouts;
    ASSERT_EQ(LoadDrawPayouts(path, payouts), kOk);
    DrawTable table;
    ASSERT_EQ(LoadDrawTable(path, table), kOk);
    ASSERT_EQ(payouts.size(), table.size());

    EXPECT_EQ(payouts[0][PayoutKind::Straight], 1069100);
    EXPECT_EQ(payouts[0][PayoutKind::SetBox], 22200);
    EXPECT_FALSE(payouts[1].Any());
    EXPECT_EQ(payouts[2][PayoutKind::Straight], 279700);
    EXPECT_FALSE(payouts[2][PayoutKind::Box].has_value());
    EXPECT_FALSE(payouts[2][PayoutKind::SetStraight].has_value());
    EXPECT_EQ(payouts[3][PayoutKind::Straight], 900000);
    EXPECT_FALSE(payouts[3][PayoutKind::SetBox].has_value());
}

TEST(LoadDrawPayouts, RefusesAMalformedFieldNamingItsLineAndFieldAndKeepsTheOutput) {
    TempDir dir;
    const std::string path = WriteHistory(dir, std::string(kHeader) +
                                                   "第1回,2024/1/4,木,1234,,1069100\n"
                                                   "第2回,2024/1/5,金,5678,,900000,1.5e3\n");
    std::vector<DrawPayouts> payouts(3);
    PayoutProblem problem;
    EXPECT_EQ(LoadDrawPayouts(path, payouts, &problem), kHistoryUnreadable);
    EXPECT_EQ(payouts.size(), 3u);
    EXPECT_EQ(problem.line, 3u);
    EXPECT_EQ(problem.field, 7u);
    EXPECT_EQ(problem.text, u"1.5e3");
}

}  // namespace
}  // namespace corvalith
