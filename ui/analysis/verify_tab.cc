// The rates are cumulative: after the i-th evaluated draw, the share of the
// first i whose digit was among the first K. The band is chance's
// normal-approximation 95 % band for i draws; the table's interval is the
// backtest's Wilson interval over all of them.
#include "ui/analysis/verify_tab.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "report/money_report.h"
#include "report/position_names.h"
#include "report/text_report.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/balance_chart.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/chart_style.h"

namespace corvalith {
namespace {

// The tooltip of a rate line: its name, the draw and the rate there.
void ShowRateTip(QLineSeries& line) {
    ShowTipOnHover(line, [&line](QPointF at) {
        const QPointF point = NearestPoint(line, at.x());
        return QStringLiteral("%1　%2回　%3")
            .arg(line.name())
            .arg(point.x(), 0, 'f', 0)
            .arg(PercentText(point.y()));
    });
}

QChart* MakePositionChart(const std::vector<evaluate::EvaluatedDraw>& draws, int top,
                          const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* rate = Line(QStringLiteral("予想"), QColor(20, 90, 200), 2.5);
    auto* hot = Line(QStringLiteral("ホット"), QColor(230, 120, 20), 1.0);
    auto* cold = Line(QStringLiteral("コールド"), QColor(40, 150, 70), 1.0);
    auto* chance = Line(QStringLiteral("偶然 K/10"), QColor(80, 80, 80), 1.5, Qt::DashLine);
    // The band does not own its boundary lines; the chart does.
    auto* upper = new QLineSeries(chart);
    auto* lower = new QLineSeries(chart);
    const double c = top / 10.0;
    const std::size_t n = draws.size();
    const std::size_t step = n > kMaxLinePoints ? (n + kMaxLinePoints - 1) / kMaxLinePoints : 1;
    std::uint64_t hits = 0, hotHits = 0, coldHits = 0;
    for (std::size_t i = 0; i < n; ++i) {
        hits += draws[i].rank <= top ? 1 : 0;
        hotHits += draws[i].hot <= top ? 1 : 0;
        coldHits += draws[i].cold <= top ? 1 : 0;
        if (i != 0 && (i + 1) % step != 0 && i + 1 != n) continue;
        const double count = double(i + 1);
        const double x = draws[i].draw;
        rate->append(x, double(hits) / count);
        hot->append(x, double(hotHits) / count);
        cold->append(x, double(coldHits) / count);
        const double half = evaluate::kZ95 * std::sqrt(c * (1 - c) / count);
        upper->append(x, std::min(1.0, c + half));
        lower->append(x, std::max(0.0, c - half));
    }
    auto* band = new QAreaSeries(upper, lower);
    band->setName(QStringLiteral("偶然の 95% 範囲"));
    band->setColor(QColor(200, 200, 200, 110));
    band->setBorderColor(QColor(170, 170, 170));
    if (n > 0) {
        chance->append(draws.front().draw, c);
        chance->append(draws.back().draw, c);
    }
    chart->addSeries(band);
    chart->addSeries(chance);
    chart->addSeries(hot);
    chart->addSeries(cold);
    chart->addSeries(rate);
    chart->setTitle(title + QStringLiteral("　上位 %1 の累積的中率").arg(top));
    for (QLineSeries* line : {rate, hot, cold}) ShowRateTip(*line);
    QValueAxis* x = n > 0 ? DrawAxis(draws.front().draw, draws.back().draw, 5) : new QValueAxis;
    QValueAxis* y =
        PercentAxis(std::max(0.0, c - 0.15), std::min(1.0, c + 0.15), 5, QStringLiteral("的中率"));
    AttachAxes(*chart, x, y);
    return chart;
}

}  // namespace

VerifyTab::VerifyTab(WindowServices* services, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The charts above and the figures below share the height; the divider moves.
    auto* split = new QSplitter(Qt::Vertical, this);
    split->setChildrenCollapsible(false);
    m_panel = new QWidget(split);
    auto* panel = new QHBoxLayout(m_panel);
    panel->setContentsMargins(0, 0, 0, 0);
    // The four positions on the left, the 収支 chart beside them as tall as both rows.
    m_charts = MakePositionGrid(m_views, services, m_panel);
    m_balance = MakeChartView(new QChart, services, m_panel);
    panel->addWidget(m_charts, 1);
    panel->addWidget(m_balance, 1);
    auto* figures = new QWidget(split);
    auto* lower = new QVBoxLayout(figures);
    lower->setContentsMargins(0, 0, 0, 0);
    m_table = new QTableWidget(figures);
    SetUpTable(*m_table,
               {QStringLiteral("位"), QStringLiteral("評価数"), QStringLiteral("的中"),
                QStringLiteral("的中率"), QStringLiteral("95%下限"), QStringLiteral("95%上限"),
                QStringLiteral("p値"), QStringLiteral("平均順位"), QStringLiteral("ホット"),
                QStringLiteral("コールド")});
    FitRows(*m_table, static_cast<int>(kPositionCount));
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_summary = new QLabel(figures);
    m_summary->setWordWrap(true);
    m_verdict = new QLabel(figures);
    m_verdict->setWordWrap(true);
    m_moneyVerdict = new QLabel(figures);
    m_moneyVerdict->setWordWrap(true);
    // The verdicts beside the positions' table, the money table under both.
    auto* top = new QHBoxLayout;
    top->addWidget(m_table, 3);
    auto* verdicts = new QVBoxLayout;
    verdicts->addWidget(m_summary);
    verdicts->addWidget(m_verdict);
    verdicts->addWidget(m_moneyVerdict);
    verdicts->addStretch(1);
    top->addLayout(verdicts, 2);
    lower->addLayout(top);
    m_money = new QTableWidget(figures);
    SetUpTable(*m_money, MoneyTableHeader());
    FitRows(*m_money, 3);
    lower->addWidget(m_money);
    lower->addStretch(1);
    split->addWidget(m_panel);
    split->addWidget(figures);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    layout->addWidget(split);
    Clear();
}

QChart* VerifyTab::PositionChart(int position) const { return m_views[position]->chart(); }

QString VerifyTab::Verdict() const { return m_verdict->text(); }

QChart* VerifyTab::BalanceChart() const { return m_balance->chart(); }

QString VerifyTab::MoneyVerdictText() const { return m_moneyVerdict->text(); }

void VerifyTab::Clear() {
    for (QChartView* view : m_views) ReplaceChart(*view, new QChart);
    m_table->setRowCount(0);
    m_summary->clear();
    m_verdict->clear();
    ReplaceChart(*m_balance, new QChart);
    m_money->setRowCount(0);
    m_moneyVerdict->clear();
    m_moneyNote = nullptr;
}

std::optional<std::string> VerifyTab::Json(const AnalysisResult& result,
                                           const TabChoices& choices) const {
    const auto* verify = std::get_if<VerifyResult>(&result);
    if (verify == nullptr) return std::nullopt;
    return BacktestJsonWithBet(verify->history, verify->record.result, choices.top,
                               verify->money[static_cast<std::size_t>(choices.bet)]);
}

QString VerifyTab::PictureWhat(const TabChoices& choices) const {
    return QStringLiteral("　上位 %1、収支 %2")
        .arg(choices.top)
        .arg(FromUtf8(std::string(JapaneseNameOf(choices.bet))));
}

QString VerifyTab::Legend(const TabChoices& choices) const {
    return QStringLiteral(
               "予想: 当選数字が予想の上位 %1 に入った回の累積の割合。"
               "ホット／コールド: それまでに多く／少なく出た数字の上位 %1 で同じ割合。"
               "偶然 K/10 と灰色の帯: 偶然の割合とその 95% 範囲。"
               "収支: 券種を毎回 1 枚買ったときの累計収支（円）。%2。")
        .arg(choices.top)
        .arg(FromUtf8(m_moneyNote != nullptr ? m_moneyNote : kMoneyNote));
}

QString VerifyTab::TableNameSuffix(const TabChoices& choices) const {
    return SettingFileWord(choices.inputs) + QStringLiteral("-K%1").arg(choices.top);
}

void VerifyTab::ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                           const TabChoices& choices) {
    const int top = choices.top;
    const evaluate::BetType bet = choices.bet;
    const auto* verify = result ? std::get_if<VerifyResult>(result.get()) : nullptr;
    if (verify == nullptr) return Clear();
    const evaluate::BacktestResult& backtest = verify->record.result;
    m_table->setRowCount(static_cast<int>(kPositionCount));
    for (std::size_t p = 0; p < kPositionCount; ++p) {
        const QString label = FromUtf8(std::string(kPositionLabels[p]));
        ReplaceChart(*m_views[p], MakePositionChart(verify->record.draws[p], top, label));
        const evaluate::PositionResult& position = backtest.positions[p];
        const evaluate::TopStatistics s = evaluate::StatisticsFor(position, top);
        const int row = static_cast<int>(p);
        const auto count = [](std::uint64_t n) {
            return new NumberItem(QString::number(n), double(n));
        };
        m_table->setItem(row, 0, new QTableWidgetItem(label));
        m_table->setItem(row, 1, count(position.evaluated));
        m_table->setItem(row, 2, count(position.hits[top - 1]));
        m_table->setItem(row, 3, new NumberItem(FromUtf8(Percent(s.rate)), s.rate));
        m_table->setItem(row, 4, new NumberItem(FromUtf8(Percent(s.ci95.low)), s.ci95.low));
        m_table->setItem(row, 5, new NumberItem(FromUtf8(Percent(s.ci95.high)), s.ci95.high));
        m_table->setItem(row, 6, new NumberItem(FromUtf8(PValue(s.pValue)), s.pValue));
        m_table->setItem(row, 7,
                         new NumberItem(FromUtf8(Fixed(position.meanRank, 2)), position.meanRank));
        m_table->setItem(row, 8, count(position.hotHits[top - 1]));
        m_table->setItem(row, 9, count(position.coldHits[top - 1]));
        PaintCell(*m_table->item(row, 3),
                  ScaleColour(s.rate, s.chance - 0.05, s.chance, s.chance + 0.05,
                              m_table->palette().color(QPalette::Base)));
    }
    m_summary->setText(
        QStringLiteral(
            "ストレート（4 桁とも 1 位が的中）: 評価 %1 回、的中 %2 回、偶然の期待値 %3 回　"
            "順位の変化: %4 回")
            .arg(backtest.straight.evaluated)
            .arg(backtest.straight.hits)
            .arg(FromUtf8(Fixed(backtest.straight.expected, 2)))
            .arg(backtest.changes));
    m_verdict->setText(FromUtf8(BacktestVerdict(backtest, top)).trimmed());
    const evaluate::MoneyRecord& money = verify->money[static_cast<std::size_t>(bet)];
    m_moneyNote = MoneyNoteOf(money.amounts);
    ReplaceChart(*m_balance, MakeBalanceChart(money));
    FillTable(*m_money, MoneyTableRows(money));
    const std::string verdict = TellsAmounts(money.amounts)
                                    ? MoneyVerdictAt(money.pick.line, money.amounts)
                                    : MoneyVerdict(money.pick.line);
    m_moneyVerdict->setText(FromUtf8(verdict).trimmed() + QStringLiteral("（") +
                            FromUtf8(MoneyNoteOf(money.amounts)) + QStringLiteral("）"));
}

}  // namespace corvalith
