// The import report names the draws that gained payouts and those kept as
// the history has them, in text and JSON, and says nothing of either when
// there are none.
#include "report/history_edit_report.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace corvalith {
namespace {

TEST(HistoryEditReport, PayoutsAddedAndKeptDraws) {
    const struct {
        std::size_t payoutsAdded;
        std::vector<std::int32_t> kept;
        const char* text;
    } cases[] = {
        {0, {}, "追加: なし\n変更なし: 2 回\n最新: 第9回\n"},
        {3, {}, "追加: なし\n変更なし: 2 回\n払戻金を追加: 3 回\n最新: 第9回\n"},
        {0,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
         "追加: なし\n変更なし: 2 回\n履歴の値を優先: 11 回（第1回、第2回、第3回、第4回、第5回、"
         "第6回、第7回、第8回、第9回、第10回 ほか 1 回）\n最新: 第9回\n"},
    };
    for (const auto& c : cases) {
        EditOutcome outcome;
        outcome.status = EditStatus::Ok;
        outcome.unchanged = 2;
        outcome.highest = 9;
        outcome.payoutsAdded = c.payoutsAdded;
        outcome.keptMine = c.kept;
        EXPECT_EQ(HistoryEditText(HistoryCommand::Import, outcome, "h.csv"), c.text);
        const auto json =
            nlohmann::json::parse(HistoryEditJson(HistoryCommand::Import, outcome, "h.csv"));
        EXPECT_EQ(json.at("payouts_added"), c.payoutsAdded);
        EXPECT_EQ(json.at("kept_mine").get<std::vector<std::int32_t>>(), c.kept);
    }
}

}  // namespace
}  // namespace corvalith
