// The money reports. The verdicts compare the wins with what each ticket's
// own chance gives (the exact Poisson-binomial tail), at 5 %.
#include "report/money_report.h"

#include <cmath>

#include "report/json_report.h"
#include "report/position_names.h"
#include "report/text_columns.h"

namespace corvalith {
namespace {

using evaluate::BetType;
using evaluate::MoneyLine;
using evaluate::Number4;

std::string Text(const Number4& number) { return evaluate::TextOf(number).data(); }

std::string Count(std::uint64_t n) { return Yen(static_cast<std::int64_t>(n)); }

// Numbers ten to a line, indented.
std::string NumberLines(const std::vector<Number4>& numbers) {
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        text += i % 10 == 0 ? "          " : " ";
        text += Text(numbers[i]);
        if (i % 10 == 9 || i + 1 == numbers.size()) text += "\n";
    }
    return text;
}

std::string SettingLine(FilterKind filter, std::uint32_t interval, FftPlacement fft) {
    return "設定      フィルタ " + std::string(NameOf(filter)) + "、間隔 " +
           std::to_string(interval) + "、FFT " + std::string(NameOf(fft)) + "\n";
}

std::string HowPlayed(BetType type, const Number4& pick) {
    if (evaluate::PlayedAs(type, pick) == type) return std::string(JapaneseNameOf(type));
    return std::string(JapaneseNameOf(type)) + "（クワッドは売られないためストレート）";
}

// A table of the text report: the first column flush left, the figures
// flush right.
std::string RenderTable(const std::vector<std::string>& head, const std::vector<TableRow>& rows) {
    std::vector<Align> aligns(head.size(), Align::Right);
    for (std::size_t c = 0; c < head.size() && c < 2; ++c) {
        if (rows.empty() || !rows.front()[c].value) aligns[c] = Align::Left;
    }
    TextTable table(aligns);
    table.AddRow(head);
    for (const TableRow& row : rows) {
        std::vector<std::string> cells;
        for (const TableCell& cell : row) cells.push_back(cell.text);
        table.AddRow(cells);
    }
    return table.Render();
}

// "payouts" ("real" or "theoretical") and "lacking_payouts" of a record
// telling its amounts.
void AmountsJson(Json& object, const evaluate::AmountsUsed& amounts) {
    object["payouts"] = amounts.real ? "real" : "theoretical";
    object["lacking_payouts"] = amounts.lacking;
}

// The lines under a money table telling its amounts: why theoretical
// amounts were used, or how many draws lacked real ones.
std::string AmountsLines(const evaluate::AmountsUsed& amounts) {
    if (!TellsAmounts(amounts) || amounts.lacking == 0) return {};
    if (amounts.real) {
        return "払戻金のない " + Yen(static_cast<std::int64_t>(amounts.lacking)) +
               " 回は、その回だけ理論値で数えています。\n";
    }
    return "評価した回のうち " + Yen(static_cast<std::int64_t>(amounts.lacking)) +
           " 回に払戻金がないため、理論値で計算しました（--payouts real なら払戻金のある回は実際の"
           "金額で数えます）。\n";
}

constexpr const char* kPayoutPickName = "払戻の見積りが最高";

// "固定 1234": the fixed-number baseline and the number it keeps buying.
std::string FixedName(const evaluate::MoneyRecord& money) {
    return "固定 " + (money.fixedNumber ? Text(*money.fixedNumber) : std::string("-"));
}

// The sentence every verdict telling its amounts ends with.
constexpr const char* kNoWinningChoice =
    "どの買い方、どの数字の選び方でも当せんの確率は変わらず、払戻の合計は売上の約半分なので、"
    "買い続けて得をする方法にはなりません。";

Json JsonNumbers(const std::vector<Number4>& numbers) {
    Json list = Json::array();
    for (const Number4& number : numbers) list.push_back(Text(number));
    return list;
}

Json MoneyJson(BetType type, const evaluate::MoneyRecord& money) {
    const evaluate::AmountsUsed* amounts = TellsAmounts(money.amounts) ? &money.amounts : nullptr;
    Json bet = MoneyLineJson(type, money.pick.line, amounts, true);
    Json fixed = {{"number", money.fixedNumber ? Json(Text(*money.fixedNumber)) : Json(nullptr)}};
    fixed.update(MoneyLineJson(type, money.fixed.line, amounts, true));
    fixed.erase("type");
    Json hot = MoneyLineJson(type, money.hot.line, amounts, true);
    hot.erase("type");
    bet["baselines"] = {{"fixed", fixed}, {"hot", hot}};
    if (money.payoutPick) {
        Json payoutPick = MoneyLineJson(type, money.payoutPick->line, amounts, true);
        payoutPick.erase("type");
        bet["payout_pick"] = payoutPick;
    }
    if (amounts != nullptr) AmountsJson(bet, *amounts);
    bet["note"] = MoneyNoteOf(money.amounts);
    return bet;
}

// The estimated amount of `type` on `number` if it wins: the theoretical
// amount of each part times the estimated ratio (the box and set parts at
// the straight's ratio), "low〜high" beside it.
std::string EstimateCell(const evaluate::TicketEstimates& estimates, BetType type,
                         const Number4& number) {
    const evaluate::PayoutEstimate e =
        evaluate::EstimateWith(estimates.fit, evaluate::ClassesOf(number, estimates.recent));
    const evaluate::PatternAmounts& amounts = evaluate::AmountsOf(evaluate::PatternOf(number));
    const auto part = [&e](std::int64_t yen) {
        const auto at = [yen](double ratio) {
            return Yen(std::llround(static_cast<double>(yen) * ratio / 100.0) * 100);
        };
        return at(e.ratio) + " 円（" + at(e.low) + "〜" + at(e.high) + "）";
    };
    switch (evaluate::PlayedAs(type, number)) {
        case BetType::Straight:
            return part(amounts.straight);
        case BetType::Box:
            return part(amounts.box);
        case BetType::Set:
            return part(amounts.setStraight) + " / " + part(amounts.setBox);
    }
    return "";
}

// The lines on the pick's classes that pay less than the theoretical amount
// on average: "日付として読める数字: 当せん時の払戻は過去平均で理論値の 0.60 倍".
std::string PopularLines(const evaluate::TicketEstimates& estimates,
                         const evaluate::NumberClasses& classes) {
    std::string text;
    for (const evaluate::ClassRow& row : estimates.rows) {
        if (row.kind == evaluate::ClassKind::All || row.straight.count == 0) continue;
        if (row.kind != evaluate::ClassKind::Pattern && row.value == 0) continue;
        if (!evaluate::InClass(classes, row.kind, row.value) || row.straight.mean >= 1.0) continue;
        text += ClassRowName(row.kind, row.value) + "数字: 当せん時の払戻は過去平均で理論値の " +
                Fixed(row.straight.mean, 2) + " 倍（" +
                Yen(static_cast<std::int64_t>(row.straight.count)) + " 回）\n";
    }
    return text;
}

Json EstimateJson(const evaluate::TicketEstimates& estimates, const Number4& number) {
    const evaluate::NumberClasses classes = evaluate::ClassesOf(number, estimates.recent);
    const evaluate::PayoutEstimate e = evaluate::EstimateWith(estimates.fit, classes);
    return {{"number", Text(number)},
            {"classes",
             {{"pattern", std::string(evaluate::NameOf(classes.pattern))},
              {"date", classes.date},
              {"run", classes.run},
              {"recent", classes.recent}}},
            {"ratio", e.ratio},
            {"low", e.low},
            {"high", e.high},
            {"straight_yen",
             e.ratio * static_cast<double>(evaluate::AmountsOf(classes.pattern).straight)}};
}

}  // namespace

const char* MoneyNoteOf(const evaluate::AmountsUsed& amounts) {
    return amounts.real ? kRealMoneyNote : kMoneyNote;
}

bool TellsAmounts(const evaluate::AmountsUsed& amounts) { return amounts.known || amounts.real; }

std::string Yen(std::int64_t yen) {
    const bool negative = yen < 0;
    const std::string digits = std::to_string(negative ? -static_cast<std::uint64_t>(yen)
                                                       : static_cast<std::uint64_t>(yen));
    std::string text;
    text.reserve(digits.size() + digits.size() / 3 + 1);
    if (negative) text.push_back('-');
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text.push_back(',');
        text.push_back(digits[i]);
    }
    return text;
}

std::vector<std::string> MoneyTableHeader() {
    return {"買う番号",   "枚数",       "購入額",   "払戻額",   "収支", "回収率",
            "期待回収率", "ストレート", "ボックス", "最大下落", "p値"};
}

std::vector<TableRow> MoneyTableRows(const evaluate::MoneyRecord& money) {
    std::vector<std::pair<std::string, const MoneyLine*>> lines = {
        {"予想の 1 位", &money.pick.line},
        {FixedName(money), &money.fixed.line},
        {"ホット", &money.hot.line},
    };
    if (money.payoutPick) lines.emplace_back(kPayoutPickName, &money.payoutPick->line);
    const auto yen = [](std::int64_t v) { return TableCell{Yen(v), static_cast<double>(v)}; };
    const auto count = [](std::uint64_t v) { return TableCell{Count(v), static_cast<double>(v)}; };
    std::vector<TableRow> rows;
    rows.reserve(lines.size());
    for (const auto& [name, line] : lines) {
        rows.push_back({{name, std::nullopt},
                        count(line->tickets),
                        yen(line->spent),
                        yen(line->won),
                        yen(line->balance),
                        {Percent(line->returnRate), line->returnRate},
                        {Percent(line->expectedReturnRate), line->expectedReturnRate},
                        count(line->straightWins),
                        count(line->boxWins),
                        yen(line->maxDrawdown),
                        {PValue(line->pValue), line->pValue}});
    }
    return rows;
}

std::vector<std::string> TicketsTableHeader(const TicketsReport& report) {
    std::vector<std::string> head = {"買い方", "番号", "金額", "当せん確率", "期待払戻"};
    if (report.estimates) head.emplace_back("当せん時の払戻の見積り（95% 区間）");
    return head;
}

std::vector<TableRow> TicketsTableRows(const TicketsReport& report, bool withSpread) {
    std::vector<TableRow> rows;
    if (!report.plan) return rows;
    const evaluate::TicketPlan& plan = *report.plan;
    const auto add = [&rows, &report](std::string type, std::string number, std::int64_t cost,
                                      double chance, double expected, std::string estimate) {
        TableRow row = {{std::move(type), std::nullopt},
                        {std::move(number), std::nullopt},
                        {Yen(cost) + " 円", static_cast<double>(cost)},
                        {Fixed(chance * 100.0, 2) + "%", chance},
                        {Fixed(expected, 2) + " 円", expected}};
        if (report.estimates) row.push_back({std::move(estimate), std::nullopt});
        rows.push_back(std::move(row));
    };
    for (const BetType type : evaluate::kAllBetTypes) {
        add(HowPlayed(type, plan.pick), Text(plan.pick), evaluate::kTicketPrice,
            evaluate::WinChance(type, plan.pick), evaluate::ExpectedPayout(type, plan.pick),
            report.estimates ? EstimateCell(*report.estimates, type, plan.pick) : std::string());
    }
    if (withSpread && plan.spread > 0) {
        double expected = 0;
        for (const Number4& number : plan.spreadNumbers) {
            expected += evaluate::ExpectedPayout(BetType::Straight, number);
        }
        add("広げ買い（上位 " + std::to_string(plan.spread) + "、" +
                Count(plan.spreadNumbers.size()) + " 枚のストレート）",
            "", plan.spreadCost, plan.spreadChance, expected, "");
    }
    return rows;
}

std::string TicketsText(const TicketsReport& report) {
    std::string text = "買い目（第" + std::to_string(report.draw) + "回の予想から）\n";
    text += SettingLine(report.filter, report.interval, report.fft);
    if (!report.plan) {
        return text + "\n予想のない位があるため、買い目はありません。\n";
    }
    const evaluate::TicketPlan& plan = *report.plan;
    const std::string pick = Text(plan.pick);
    text += "予想      " + pick + "（各位の 1 位: ";
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        if (p > 0) text += "、";
        text += std::string(kPositionLabels[p]) + " " + std::to_string(plan.pick[p]);
    }
    text += "）\n";
    text += "型        " + std::string(JapaneseNameOf(plan.pattern)) + "（ボックスの当せん " +
            std::to_string(plan.boxNumbers.size()) + " 通り）\n\n";

    const evaluate::TicketEstimates* estimates = report.estimates ? &*report.estimates : nullptr;
    if (estimates != nullptr) {
        text +=
            "分類      " + ClassesText(evaluate::ClassesOf(plan.pick, estimates->recent)) + "\n";
        text += PopularLines(*estimates, evaluate::ClassesOf(plan.pick, estimates->recent));
        text += "\n";
    }
    text += RenderTable(TicketsTableHeader(report), TicketsTableRows(report, false));
    text += "\nボックスで当たる並び（" + std::to_string(plan.boxNumbers.size()) + " 通り）\n";
    text += NumberLines(plan.boxNumbers);
    if (plan.spread > 0) {
        text += "\n広げ買い（各位の上位 " + std::to_string(plan.spread) + " の数字のストレート " +
                Count(plan.spreadNumbers.size()) + " 枚、" + Yen(plan.spreadCost) + " 円）\n";
        text += NumberLines(plan.spreadNumbers);
        if (estimates != nullptr) {
            TextTable spread({Align::Left, Align::Left, Align::Right});
            spread.AddRow({"番号", "分類", "当せん時のストレートの見積り（95% 区間）"});
            for (const Number4& number : plan.spreadNumbers) {
                spread.AddRow({Text(number),
                               ClassesText(evaluate::ClassesOf(number, estimates->recent)),
                               EstimateCell(*estimates, BetType::Straight, number)});
            }
            text += spread.Render();
        }
        text += "数字が一様なら、どれかがストレートで当たる確率は " +
                Fixed(plan.spreadChance * 100.0, 2) + "%（" + Count(plan.spreadNumbers.size()) +
                "/" + Count(static_cast<std::uint64_t>(evaluate::kNumbers)) + "）です。\n";
    }
    text += "\n金額は 1 枚 " + Yen(evaluate::kTicketPrice) + " 円、払戻は" +
            std::string(kMoneyNote) + "。\n";
    if (estimates != nullptr) {
        text += "払戻の見積りは、履歴の払戻金のある " +
                Yen(static_cast<std::int64_t>(estimates->fit.draws)) +
                " 回から分類ごとに見た理論値との比（ボックスとセットもストレートと同じ比）。当せん"
                "の確率はどの数字も同じで、見積りが高い数字も当たりやすくはありません。\n";
    }
    return text;
}

std::string TicketsJson(const TicketsReport& report) {
    Json object = {{"format", kJsonFormat},
                   {"command", "tickets"},
                   {"history", HistoryJson(report.history)},
                   {"setting", SettingJson(report.filter, report.interval, report.fft)},
                   {"draw", report.draw}};
    if (!report.plan) {
        object["pick"] = nullptr;
    } else {
        const evaluate::TicketPlan& plan = *report.plan;
        object["pick"] = Text(plan.pick);
        object["pattern"] = std::string(NameOf(plan.pattern));
        object["box_orders"] = plan.boxNumbers.size();
        object["box_numbers"] = JsonNumbers(plan.boxNumbers);
        object["price"] = evaluate::kTicketPrice;
        Json types = Json::array();
        for (const BetType type : evaluate::kAllBetTypes) {
            types.push_back(
                {{"type", std::string(NameOf(type))},
                 {"played_as", std::string(NameOf(evaluate::PlayedAs(type, plan.pick)))},
                 {"win_chance", evaluate::WinChance(type, plan.pick)},
                 {"expected_payout", evaluate::ExpectedPayout(type, plan.pick)}});
        }
        object["types"] = types;
        if (report.estimates) {
            object["estimate"] = EstimateJson(*report.estimates, plan.pick);
            Json spread = Json::array();
            for (const Number4& number : plan.spreadNumbers) {
                spread.push_back(EstimateJson(*report.estimates, number));
            }
            object["spread_estimates"] = spread;
        }
        if (plan.spread > 0) {
            object["spread"] = {{"k", plan.spread},
                                {"tickets", plan.spreadNumbers.size()},
                                {"cost", plan.spreadCost},
                                {"chance", plan.spreadChance},
                                {"numbers", JsonNumbers(plan.spreadNumbers)}};
        } else {
            object["spread"] = nullptr;
        }
    }
    object["note"] = kMoneyNote;
    return Dump(object);
}

Json MoneyLineJson(BetType type, const MoneyLine& line, const evaluate::AmountsUsed* amounts,
                   bool amountP) {
    Json object = {{"type", std::string(NameOf(type))},
                   {"tickets", line.tickets},
                   {"spent", line.spent},
                   {"won", line.won},
                   {"balance", line.balance},
                   {"return_rate", line.returnRate},
                   {"expected_return_rate", line.expectedReturnRate},
                   {"wins", {{"straight", line.straightWins}, {"box", line.boxWins}}},
                   {"max_drawdown", line.maxDrawdown},
                   {"p_value", line.pValue}};
    if (amounts != nullptr) {
        object["won_theoretical"] = line.wonTheoretical;
        object["expected_won"] = line.expectedWon;
        if (amountP) object["p_value_amount"] = line.amountPValue;
    }
    return object;
}

std::string MoneyVerdictAt(const MoneyLine& line, const evaluate::AmountsUsed& amounts) {
    if (line.tickets == 0) return MoneyVerdict(line);
    const std::string rate = Percent(line.returnRate);
    const std::string expected = Percent(line.expectedReturnRate);
    const std::string against =
        amounts.real ? "同じ回にでたらめな数字を同じ買い方で買った場合の平均 " : "理論上の期待 ";
    const std::string ps =
        "当せんの数の p値 " + PValue(line.pValue) + "、払戻額の p値 " + PValue(line.amountPValue);
    if (line.amountPValue < evaluate::kSignificance) {
        return "結論（収支）: 回収率 " + rate + " は、" + against + expected + " を、偶然では " +
               SignificanceLevelText() + " 未満の確率でしか起きないほど上回りました（" + ps +
               "）。過去の回についての結果で、これからも続くとは限りません。" + kNoWinningChoice +
               "\n";
    }
    return "結論（収支）: 回収率 " + rate + " が、" + against + expected +
           " を偶然以上に上回ったとは言えません（" + ps + "）。" + kNoWinningChoice + "\n";
}

std::string MoneyVerdict(const MoneyLine& line) {
    if (line.tickets == 0) return "結論（収支）: 買える回がないため、収支は計算できません。\n";
    const std::string rate = Percent(line.returnRate);
    const std::string expected = Percent(line.expectedReturnRate);
    if (line.pValue < evaluate::kSignificance) {
        return "結論（収支）: 当せんの数は偶然では " + SignificanceLevelText() +
               " 未満の確率でしか起きない多さで、回収率 " + rate + " は理論上の期待 " + expected +
               " を偶然以上に上回りました（p値 " + PValue(line.pValue) + "）。\n";
    }
    return "結論（収支）: 回収率 " + rate + " が理論上の期待 " + expected +
           " を偶然以上に上回ったとは言えません（当せんの数の p値 " + PValue(line.pValue) +
           "）。\n";
}

std::string MoneyText(const evaluate::MoneyRecord& money) {
    const BetType type = money.type;
    const bool tells = TellsAmounts(money.amounts);
    std::string text = "\n収支（毎回 1 枚 " + std::string(JapaneseNameOf(type)) + " " +
                       Yen(evaluate::kTicketPrice) + " 円、" + MoneyNoteOf(money.amounts) + "）\n";
    text += RenderTable(MoneyTableHeader(), MoneyTableRows(money));
    text += "\n";
    text +=
        "4 つの位すべてを評価した回ごとに 1 枚。金額は円。固定は最初の回の予想の番号を買い続けた"
        "場合、ホットは各位でそれまでに最も多く出た数字。ボックスとセットでクワッドの番号はスト"
        "レートで買い、ストレートの当せんに数えます。最大下落は累計収支がそれまでの最高から下が"
        "った最大の額。p値は各枚の当せん確率のもとで当せんの数が実際以上になる確率（ポアソン二"
        "項分布）。\n";
    if (!tells && !money.payoutPick) return text + MoneyVerdict(money.pick.line);
    text += AmountsLines(money.amounts);
    text += "理論値での払戻額: 予想の 1 位 " + Yen(money.pick.line.wonTheoretical) + " 円、" +
            FixedName(money) + " " + Yen(money.fixed.line.wonTheoretical) + " 円、ホット " +
            Yen(money.hot.line.wonTheoretical) + " 円。\n";
    text += money.amounts.real
                ? "期待回収率は、各回に一様にでたらめな数字を同じ買い方で 1 枚買った場合のその回の"
                  "実際の払戻金での平均（期待払戻額 " +
                      Yen(std::llround(money.pick.line.expectedWon)) + " 円）。"
                : std::string("期待回収率は、各枚の理論値での期待払戻（期待払戻額 ") +
                      Yen(std::llround(money.pick.line.expectedWon)) + " 円）。";
    text +=
        "払戻額の p値は、各枚がその当せん確率で当たりその回の金額が払われるとして、払戻額が"
        "実際以上になる確率（固定の種から " +
        Yen(evaluate::kAmountSimulations) + " 回の模擬）。\n";
    text += MoneyVerdictAt(money.pick.line, money.amounts);
    if (money.payoutPick) {
        text +=
            std::string(kPayoutPickName) +
            "は、各位の予想の上位 2 つの数字でできる 16 通りから、その回より前の回だけで見積もった"
            "ストレートの払戻が最も高い番号を買います。当たる確率はほかの 1 "
            "枚と同じで、変わるのは当た"
            "ったときの金額だけです。\n";
        std::string verdict = MoneyVerdictAt(money.payoutPick->line, money.amounts);
        verdict.replace(0, std::string("結論（収支）").size(),
                        "結論（" + std::string(kPayoutPickName) + "）");
        text += verdict;
    }
    return text;
}

std::string BacktestJsonWithBet(const HistorySummary& history,
                                const evaluate::BacktestResult& result, int top,
                                const evaluate::MoneyRecord& money) {
    Json object = BacktestObject(history, result, top);
    object["bet"] = MoneyJson(money.type, money);
    return Dump(object);
}

std::string SweepMoneyText(const ReportContext& context, const evaluate::SweepResult& result,
                           int top, BetType type) {
    std::string text = SweepText(context, result, top);
    text += "\n収支（全設定、毎回 1 枚 " + std::string(JapaneseNameOf(type)) + " " +
            Yen(evaluate::kTicketPrice) + " 円、" + MoneyNoteOf(result.amounts) + "）\n";
    TextTable table({Align::Left, Align::Right, Align::Left, Align::Right, Align::Right,
                     Align::Right, Align::Right, Align::Right, Align::Right});
    table.AddRow(
        {"フィルタ", "間隔", "FFT", "枚数", "当せん", "収支", "回収率", "p値", "Holm 補正後"});
    bool any = false;
    std::uint64_t tickets = 0;
    for (const evaluate::SweepEntry& entry : result.settings) {
        if (!entry.money) continue;
        const evaluate::Setting& setting = entry.result.setting;
        const MoneyLine& line = *entry.money;
        tickets += line.tickets;
        any = any || entry.moneyPHolm < evaluate::kSignificance;
        table.AddRow({std::string(NameOf(setting.filter)), std::to_string(setting.interval),
                      std::string(NameOf(setting.fft)), Count(line.tickets),
                      Count(line.straightWins + line.boxWins), Yen(line.balance),
                      Percent(line.returnRate), PValue(line.pValue), PValue(entry.moneyPHolm)});
    }
    text += table.Render();
    text += "\n理論上の期待回収率は約 " + Fixed(evaluate::kTheoreticalReturnRate * 100.0, 0) +
            "%。p値は当せんの数が実際以上になる確率で、Holm 法で " + Count(result.settings.size()) +
            " 設定の多重比較を補正しています。\n";
    if (TellsAmounts(result.amounts)) {
        text += "どの設定も同じ金額で数えています（" + std::string(MoneyNoteOf(result.amounts)) +
                "）。\n" + AmountsLines(result.amounts);
    }
    if (tickets == 0) return text + "結論（収支）: 買える回がないため、収支は計算できません。\n";
    if (any) {
        return text + "結論（収支）: Holm 法で補正しても " + SignificanceLevelText() +
               " 水準で当せんの数が偶然を上回る設定があり"
               "ます（上の表で Holm 補正後の p値が " +
               Fixed(evaluate::kSignificance, 2) + " 未満の設定）。\n";
    }
    return text +
           "結論（収支）: 多重比較を Holm 法で補正すると、理論上の期待を偶然以上に上回る設定はあり"
           "ません。\n";
}

std::string SweepJsonWithBet(const HistorySummary& history, const evaluate::SweepResult& result,
                             int top, BetType type) {
    Json object = SweepObject(history, result, top);
    Json& settings = object["settings"];
    for (std::size_t s = 0; s < result.settings.size() && s < settings.size(); ++s) {
        const evaluate::SweepEntry& entry = result.settings[s];
        if (!entry.money) continue;
        const bool tells = TellsAmounts(result.amounts);
        Json bet = MoneyLineJson(type, *entry.money, tells ? &result.amounts : nullptr);
        bet["p_holm"] = entry.moneyPHolm;
        settings[s]["bet"] = bet;
    }
    if (TellsAmounts(result.amounts)) AmountsJson(object, result.amounts);
    object["bet_note"] = MoneyNoteOf(result.amounts);
    return Dump(object);
}

}  // namespace corvalith
