// 検証: per position the cumulative top-K hit rate over the evaluated draws
// against chance (K/10 with its 95 % band) and the hot and cold rules, the
// backtest's table and the command line's verdict, for K. Below,
// the 収支 chart of the chosen bet type with its table (balance_chart.h).
#pragma once

#include <QWidget>
#include <array>

#include "commands/analysis_results.h"
#include "evaluate/ticket_rules.h"
#include "ui/analysis/analysis_tab_view.h"

class QChart;
class QChartView;
class QLabel;
class QTableWidget;

namespace corvalith {

class WindowServices;

class VerifyTab final : public QWidget, public AnalysisTabView {
    Q_OBJECT

  public:
    VerifyTab(WindowServices* services, QWidget* parent = nullptr);

    // At the choices' K and bet type.
    void ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                    const TabChoices& choices) override;
    void Clear() override;

    [[nodiscard]] QChart* PositionChart(int position) const;
    [[nodiscard]] QTableWidget* Table() const noexcept override { return m_table; }
    [[nodiscard]] QString Verdict() const;
    // The position charts and the 収支 chart: what PNG and SVG save.
    [[nodiscard]] QWidget* ChartPanel() const noexcept override { return m_panel; }
    [[nodiscard]] QChart* BalanceChart() const;
    [[nodiscard]] QTableWidget* MoneyTable() const noexcept { return m_money; }
    [[nodiscard]] QString MoneyVerdictText() const;

    [[nodiscard]] QTableWidget* CompanionTable() const override { return m_money; }
    // backtest --bet TYPE's JSON.
    [[nodiscard]] std::optional<std::string> Json(const AnalysisResult& result,
                                                  const TabChoices& choices) const override;
    [[nodiscard]] QString PictureWhat(const TabChoices& choices) const override;
    // The lines and bars, and the amounts the 収支 is at.
    [[nodiscard]] QString Legend(const TabChoices& choices) const override;
    [[nodiscard]] QString TableNameSuffix(const TabChoices& choices) const override;
    [[nodiscard]] bool UsesTop() const override { return true; }
    [[nodiscard]] bool UsesBet() const override { return true; }

  private:
    std::array<QChartView*, 4> m_views{};
    QWidget* m_charts = nullptr;
    QWidget* m_panel = nullptr;
    QChartView* m_balance = nullptr;
    QTableWidget* m_money = nullptr;
    QLabel* m_moneyVerdict = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_verdict = nullptr;
    const char* m_moneyNote = nullptr;  // the shown 収支's amounts (none before one)
};

// About this many points per line (two more at most): the first and the last
// evaluated draw are always among them.
inline constexpr std::size_t kMaxLinePoints = 800;

}  // namespace corvalith
