// The balance lines keep about kMaxLinePoints points each (the first and
// last ticket always among them), as the hit-rate lines do.
#include "ui/analysis/balance_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "report/money_report.h"
#include "ui/analysis/analysis_tables.h"
#include "ui/analysis/chart_panel.h"
#include "ui/analysis/chart_style.h"
#include "ui/analysis/verify_tab.h"

namespace corvalith {
QChart* MakeBalanceChart(const evaluate::MoneyRecord& money) {
    auto* chart = new QChart;
    const QString type = FromUtf8(std::string(JapaneseNameOf(money.type)));
    chart->setTitle(QStringLiteral("収支（毎回 1 枚 %1、円）　").arg(type) +
                    FromUtf8(MoneyNoteOf(money.amounts)));
    const QString fixedName = money.fixedNumber ? QStringLiteral("固定 %1").arg(QLatin1String(
                                                      evaluate::TextOf(*money.fixedNumber).data()))
                                                : QStringLiteral("固定");
    auto* pick = Line(QStringLiteral("予想の 1 位"), QColor(20, 90, 200), 2.5);
    auto* fixed = Line(fixedName, QColor(150, 60, 160), 1.0);
    auto* hot = Line(QStringLiteral("ホット"), QColor(230, 120, 20), 1.0);
    auto* expected = Line(QStringLiteral("期待値"), QColor(80, 80, 80), 1.5, Qt::DashLine);
    const std::size_t n = money.draws.size();
    const std::size_t step = n > kMaxLinePoints ? (n + kMaxLinePoints - 1) / kMaxLinePoints : 1;
    double expectedSum = 0.0;
    double low = 0.0, high = 0.0;
    const double meanLoss = n == 0 ? 0.0
                                   : static_cast<double>(evaluate::kTicketPrice) *
                                         (1.0 - money.pick.line.expectedReturnRate);
    // At real payouts chance's line moves with each draw's amounts.
    const bool perDraw = money.amounts.real && money.expectedBalances.size() == n;
    for (std::size_t i = 0; i < n; ++i) {
        expectedSum = perDraw ? money.expectedBalances[i] : expectedSum - meanLoss;
        if (i != 0 && (i + 1) % step != 0 && i + 1 != n) continue;
        const double x = money.draws[i];
        const double values[] = {double(money.pick.balances[i]), double(money.fixed.balances[i]),
                                 double(money.hot.balances[i]), expectedSum};
        pick->append(x, values[0]);
        fixed->append(x, values[1]);
        hot->append(x, values[2]);
        expected->append(x, values[3]);
        for (const double v : values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    chart->addSeries(expected);
    chart->addSeries(fixed);
    chart->addSeries(hot);
    chart->addSeries(pick);
    QValueAxis* x = n > 0 ? DrawAxis(money.draws.front(), money.draws.back(), 5) : new QValueAxis;
    auto* y = new QValueAxis;
    y->setTitleText(QStringLiteral("累計収支（円）"));
    const double margin = std::max(1000.0, (high - low) * 0.05);
    y->setRange(low - margin, high + margin);
    SetNiceTicks(*y, 6, QStringLiteral("%.0f"));
    for (QLineSeries* line : {pick, fixed, hot, expected}) {
        ShowTipOnHover(*line, [line](QPointF at) {
            const QPointF point = NearestPoint(*line, at.x());
            return QStringLiteral("%1　%2回　%3 円")
                .arg(line->name())
                .arg(point.x(), 0, 'f', 0)
                .arg(point.y(), 0, 'f', 0);
        });
    }
    AttachAxes(*chart, x, y);
    return chart;
}

}  // namespace corvalith
