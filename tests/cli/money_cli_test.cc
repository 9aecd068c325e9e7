// tickets and the --bet runs through the real binary: the JSON parsed back
// against the plain reports and the forecast, and the refused arguments.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "report/money_report.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using nlohmann::json;
using testing::ProgramResult;

ProgramResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), CORVALITH_CLI);
    return testing::RunProgram(args, 120);
}

json Json(std::vector<std::string> args) {
    args.insert(args.end(), {"--format", "json"});
    const ProgramResult result = Cli(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return json::parse(result.out);
}

// The first 400 draws of the sample.
class MoneyCli : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string bytes = testing::ReadFile(testing::SampleHistoryPath());
        std::size_t end = 0;
        for (int line = 0; line <= 400; ++line) end = bytes.find('\n', end) + 1;
        history_ = dir_.Write("h.csv", bytes.substr(0, end));
    }
    testing::TempDir dir_;
    std::string history_;
};

TEST_F(MoneyCli, BacktestBetAddsTheRecordAndLeavesTheRestAlone) {
    const std::vector<std::string> run = {"backtest", history_, "--interval", "10"};
    const json plain = Json(run);
    const std::string plainText = Cli(run).out;
    for (const char* type : {"straight", "box", "set"}) {
        std::vector<std::string> withBet = run;
        withBet.insert(withBet.end(), {"--bet", type});
        json object = Json(withBet);
        const json bet = object["bet"];
        EXPECT_EQ(bet["type"], type);
        EXPECT_EQ(bet["tickets"], plain["straight"]["evaluated"]);
        EXPECT_EQ(bet["spent"], bet["tickets"].get<int>() * 200);
        EXPECT_EQ(bet["balance"], bet["won"].get<int>() - bet["spent"].get<int>());
        EXPECT_DOUBLE_EQ(bet["return_rate"], bet["won"].get<double>() / bet["spent"].get<double>());
        EXPECT_NEAR(bet["expected_return_rate"].get<double>(), 0.45, 0.0015);
        if (std::string(type) == "straight") {
            EXPECT_EQ(bet["wins"]["straight"], plain["straight"]["hits"]);
            EXPECT_EQ(bet["wins"]["box"], 0);
        }
        EXPECT_GE(bet["max_drawdown"].get<int>(), 0);
        EXPECT_GT(bet["p_value"].get<double>(), 0.0);
        for (const char* baseline : {"fixed", "hot"}) {
            EXPECT_EQ(bet["baselines"][baseline]["tickets"], bet["tickets"]);
        }
        EXPECT_EQ(bet["baselines"]["fixed"]["number"].get<std::string>().size(), 4u);
        object.erase("bet");
        EXPECT_EQ(object, plain);
        // The text is the plain report with the money block after it.
        const std::string text = Cli(withBet).out;
        EXPECT_EQ(text.rfind(plainText, 0), 0u);
        EXPECT_NE(text.find(kMoneyNote, plainText.size()), std::string::npos);
    }
}

TEST_F(MoneyCli, SweepBetHasEverySettingsReturnWithHolm) {
    json plain = Json({"sweep", history_, "--jobs", "2"});
    json object = Json({"sweep", history_, "--jobs", "2", "--bet", "box"});
    ASSERT_EQ(object["settings"].size(), 63u);
    for (json& setting : object["settings"]) {
        const json& bet = setting["bet"];
        EXPECT_EQ(bet["type"], "box");
        EXPECT_GE(bet["p_holm"].get<double>(), bet["p_value"].get<double>());
        EXPECT_LE(bet["p_holm"].get<double>(), 1.0);
        setting.erase("bet");
    }
    object.erase("bet_note");
    EXPECT_EQ(object, plain);
}

TEST_F(MoneyCli, TicketsAreTheForecastsFirstDigits) {
    const json predict = Json({"predict", history_, "--filter", "bpf"});
    const json tickets = Json({"tickets", history_, "--filter", "bpf", "--spread", "3"});
    const std::string raw = Cli({"tickets", history_, "--format", "json"}).out;
    EXPECT_EQ(raw.rfind("{\"format\":1,", 0), 0u) << raw;
    EXPECT_EQ(tickets["draw"], predict["draw"]);
    std::string pick;
    for (const json& position : predict["positions"]) {
        pick += std::to_string(position["ranking"][0].get<int>());
    }
    EXPECT_EQ(tickets["pick"], pick);
    EXPECT_EQ(tickets["box_numbers"].size(), tickets["box_orders"].get<std::size_t>());
    const json& spread = tickets["spread"];
    EXPECT_EQ(spread["tickets"], 81);
    EXPECT_EQ(spread["cost"], 81 * 200);
    EXPECT_DOUBLE_EQ(spread["chance"], 0.0081);
    for (const json& number : spread["numbers"]) {
        const std::string digits = number;
        for (std::size_t p = 0; p < 4; ++p) {
            const json& ranking = predict["positions"][p]["ranking"];
            const int digit = digits[p] - '0';
            EXPECT_TRUE(digit == ranking[0] || digit == ranking[1] || digit == ranking[2]);
        }
    }
    EXPECT_NE(Cli({"tickets", history_}).out.find(kMoneyNote), std::string::npos);
}

TEST_F(MoneyCli, RefusesBadMoneyArguments) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"backtest", history_, "--bet", "Box"},
                                               {"sweep", history_, "--bet"},
                                               {"tickets", history_, "--spread", "4"},
                                               {"tickets", history_, "--spread", "0"},
                                               {"tickets", history_, "--bet", "box"},
                                               {"predict", history_, "--spread", "1"},
                                               {"randomness", history_, "--bet", "set"}}) {
        EXPECT_EQ(Cli(args).exitCode, 64) << args[0] << " " << args[2];
    }
}

// The same draws with every draw paid 1,000,000 straight, 40,000 box,
// 500,000 and 20,000 set: the record is at those amounts and says so, the
// report without --bet is the same bytes.
TEST_F(MoneyCli, BacktestBetAtTheHistorysRealPayouts) {
    const std::string withPayouts = dir_.Write(
        "paid.csv",
        testing::WithPayoutFields(testing::ReadFile(history_), ",1000000,40000,500000,20000"));
    const std::vector<std::string> run = {"backtest", "", "--interval", "10"};
    auto on = [&run](const std::string& path, std::vector<std::string> more) {
        std::vector<std::string> args = run;
        args[1] = path;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    EXPECT_EQ(Cli(on(withPayouts, {})).out, Cli(on(history_, {})).out);
    const json plain = Json(on(history_, {"--bet", "straight"}))["bet"];
    EXPECT_FALSE(plain.contains("payouts"));
    const json real = Json(on(withPayouts, {"--bet", "straight"}))["bet"];
    EXPECT_EQ(real["payouts"], "real");
    EXPECT_EQ(real["lacking_payouts"], 0);
    EXPECT_EQ(real["won_theoretical"], plain["won"]);
    EXPECT_EQ(real["won"], real["wins"]["straight"].get<int>() * 1'000'000);
    EXPECT_NEAR(real["expected_won"].get<double>(), real["tickets"].get<double>() * 100.0, 1e-6);
    EXPECT_EQ(real["note"], kRealMoneyNote);
    const json theoretical =
        Json(on(withPayouts, {"--bet", "straight", "--payouts", "theoretical"}))["bet"];
    EXPECT_EQ(theoretical["payouts"], "theoretical");
    EXPECT_EQ(theoretical["won"], plain["won"]);
    const std::string text = Cli(on(withPayouts, {"--bet", "box"})).out;
    EXPECT_NE(text.find(kRealMoneyNote), std::string::npos);
    EXPECT_EQ(Cli(on(withPayouts, {"--bet", "box", "--payouts", "sometimes"})).exitCode, 64);
    EXPECT_EQ(Cli(on(withPayouts, {"--pick", "payout"})).exitCode, 64);
    const json aware = Json(on(withPayouts, {"--bet", "box", "--pick", "payout"}))["bet"];
    EXPECT_EQ(aware["payout_pick"]["tickets"], aware["tickets"]);

    // The class table of the same payouts: every straight paid 1,000,000.
    const json payouts = Json({"payouts", withPayouts});
    const json all = payouts["classes"][0];
    EXPECT_EQ(all["class"], "all");
    EXPECT_EQ(payouts["draws_with_payouts"], all["straight"]["count"]);
    EXPECT_EQ(all["straight"]["count"], 400);  // the 400 draws
    EXPECT_NEAR(all["straight"]["mean"].get<double>(), 1'000'000.0 / 900'000.0, 1e-12);
    EXPECT_EQ(Json({"payouts", history_})["draws_with_payouts"], 0);

    // The tickets estimate every number at that ratio; without payouts, none.
    const json tickets = Json({"tickets", withPayouts, "--spread", "2"});
    EXPECT_NEAR(tickets["estimate"]["ratio"].get<double>(), 1'000'000.0 / 900'000.0, 1e-6);
    EXPECT_EQ(tickets["spread_estimates"].size(), 16u);
    EXPECT_EQ(tickets["estimate"]["number"], tickets["pick"]);
    EXPECT_FALSE(Json({"tickets", history_}).contains("estimate"));
}

}  // namespace
}  // namespace corvalith
