// The payouts report: one row per class value, ratios with two decimals.
#include "report/payouts_report.h"

#include "evaluate/money_record.h"
#include "report/json_parts.h"
#include "report/money_report.h"
#include "report/text_columns.h"
#include "report/text_report.h"

namespace corvalith {
namespace {

using evaluate::ClassKind;
using evaluate::RatioSummary;

constexpr std::array<const char*, evaluate::kModelTerms> kTermNames = {
    "constant", "double", "double_double", "triple", "quad", "date", "run", "recent"};

std::string Ratio(const RatioSummary& s) { return s.count == 0 ? "-" : Fixed(s.mean, 2); }

std::string Interval(const RatioSummary& s) {
    return s.count < 2 ? "-" : Fixed(s.low, 2) + "〜" + Fixed(s.high, 2);
}

Json SummaryJson(const RatioSummary& s) {
    if (s.count == 0) return {{"count", 0}, {"mean", nullptr}, {"low", nullptr}, {"high", nullptr}};
    return {{"count", s.count}, {"mean", s.mean}, {"low", s.low}, {"high", s.high}};
}

Json ValueJson(ClassKind kind, int value) {
    if (kind == ClassKind::All) return nullptr;
    if (kind == ClassKind::Pattern) {
        return std::string(evaluate::NameOf(static_cast<evaluate::Pattern>(value)));
    }
    return value != 0;
}

}  // namespace

PayoutsReport MakePayoutsReport(const HistorySummary& history, const DrawTable& table,
                                std::span<const DrawPayouts> payouts) {
    PayoutsReport report;
    report.history = history;
    const std::vector<evaluate::PaidDraw> draws = evaluate::PaidDraws(table, payouts);
    for (const evaluate::PaidDraw& draw : draws) {
        report.withPayouts += draw.straightRatio || draw.boxRatio ? 1 : 0;
    }
    report.rows = evaluate::ClassTable(draws);
    report.model = evaluate::WalkForwardPayouts(draws);
    report.model.estimates.clear();
    return report;
}

std::string ClassRowName(ClassKind kind, int value) {
    const std::string recent = "直近 " + std::to_string(evaluate::kRecentDraws) + " 回に";
    switch (kind) {
        case ClassKind::All:
            return "すべて";
        case ClassKind::Pattern:
            return std::string(evaluate::JapaneseNameOf(static_cast<evaluate::Pattern>(value)));
        case ClassKind::Date:
            return value != 0 ? "日付として読める" : "日付として読めない";
        case ClassKind::Run:
            return value != 0 ? "連番" : "連番でない";
        case ClassKind::Recent:
            return recent + (value != 0 ? "出た" : "出ていない");
    }
    return "";
}

std::string ClassesText(const evaluate::NumberClasses& classes) {
    std::string text = ClassRowName(ClassKind::Pattern, static_cast<int>(classes.pattern));
    for (const ClassKind kind : {ClassKind::Date, ClassKind::Run, ClassKind::Recent}) {
        if (evaluate::InClass(classes, kind, 1)) text += "、" + ClassRowName(kind, 1);
    }
    return text;
}

std::string PayoutsText(const PayoutsReport& report) {
    std::string text =
        "当せん番号の分類ごとの払戻金（理論値に対する実際の払戻金の比、払戻金のある " +
        Yen(static_cast<std::int64_t>(report.withPayouts)) + " 回）\n";
    if (report.withPayouts == 0) {
        return text + "\n履歴に払戻金のある回がないため、比は計算できません。\n";
    }
    TextTable table({Align::Left, Align::Right, Align::Right, Align::Right, Align::Right,
                     Align::Right, Align::Right, Align::Right, Align::Right, Align::Right});
    table.AddRow({"分類", "回数", "ストレート", "95% 区間", "ボックス", "95% 区間", "前半の回数",
                  "前半", "後半の回数", "後半"});
    for (const evaluate::ClassRow& row : report.rows) {
        table.AddRow({ClassRowName(row.kind, row.value),
                      Yen(static_cast<std::int64_t>(row.straight.count)), Ratio(row.straight),
                      Interval(row.straight), Ratio(row.box), Interval(row.box),
                      Yen(static_cast<std::int64_t>(row.firstHalf.count)), Ratio(row.firstHalf),
                      Yen(static_cast<std::int64_t>(row.secondHalf.count)), Ratio(row.secondHalf)});
    }
    text += table.Render();
    text +=
        "\n比の平均と 95% 区間（平均 ± 1.96 標準誤差）。前半と後半はストレートの払戻金のある回を"
        "古い順に二つに分けたもの。ボックスはクワッドにはありません。日付として読めるのは前 2 桁が"
        "月、後 2 桁がその月にある日の番号、連番は各桁が前の桁より 1 大きいか 1 小さい番号。\n";
    const evaluate::PayoutWalkForward& model = report.model;
    text +=
        "\n払戻の見積り（ストレートの比の対数を分類の指示変数で最小二乗、各回をその回より前の回だけ"
        "で"
        "当てはめ）\n";
    if (model.evaluated == 0) {
        return text + "見積もれる回がありません（前に払戻金のある回が " +
               std::to_string(evaluate::kModelMinimumDraws) + " 回以上要ります）。\n";
    }
    text += "平均絶対誤差（比の対数）: 分類のモデル " + Fixed(model.modelError, 3) +
            "、それまでの全回の平均 " + Fixed(model.baselineError, 3) + "（" +
            Yen(static_cast<std::int64_t>(model.evaluated)) + " 回）\n";
    text +=
        model.modelError < model.baselineError
            ? "分類のモデルのほうが、それまでの平均よりも実際の払戻金に近い見積りでした。"
            : "分類のモデルは、それまでの平均より実際の払戻金に近い見積りにはなりませんでした。";
    text += "払戻金は当せんしたときの金額で、当せんの確率はどの数字も同じです。\n";
    return text;
}

std::string PayoutsJson(const PayoutsReport& report) {
    Json object = {{"format", kJsonFormat},
                   {"command", "payouts"},
                   {"history", HistoryJson(report.history)},
                   {"draws_with_payouts", report.withPayouts}};
    Json classes = Json::array();
    for (const evaluate::ClassRow& row : report.rows) {
        classes.push_back({{"class", std::string(evaluate::NameOf(row.kind))},
                           {"value", ValueJson(row.kind, row.value)},
                           {"straight", SummaryJson(row.straight)},
                           {"box", SummaryJson(row.box)},
                           {"first_half", SummaryJson(row.firstHalf)},
                           {"second_half", SummaryJson(row.secondHalf)}});
    }
    object["classes"] = classes;
    const evaluate::PayoutWalkForward& model = report.model;
    Json terms = Json::array();
    for (const char* name : kTermNames) terms.push_back(name);
    Json fitted = {{"terms", terms}, {"evaluated", model.evaluated}};
    fitted["mae"] = model.evaluated > 0 ? Json(model.modelError) : Json(nullptr);
    fitted["baseline_mae"] = model.evaluated > 0 ? Json(model.baselineError) : Json(nullptr);
    if (model.last) {
        fitted["coefficients"] = model.last->coefficients;
        fitted["sigma"] = model.last->sigma;
    } else {
        fitted["coefficients"] = nullptr;
        fitted["sigma"] = nullptr;
    }
    object["model"] = fitted;
    return Dump(object);
}

}  // namespace corvalith
