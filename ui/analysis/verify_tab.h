// 検証: per position the cumulative top-K hit rate over the evaluated draws
// against chance (K/10 with its 95 % band) and the hot and cold rules, the
// backtest's table and the command line's verdict; K from 1 to 5.
#pragma once

#include <QWidget>
#include <array>

#include "commands/analysis_results.h"

class QChart;
class QChartView;
class QLabel;
class QTableWidget;

namespace corvalith {

class WindowServices;

class VerifyTab final : public QWidget {
    Q_OBJECT

  public:
    VerifyTab(WindowServices* services, QWidget* parent = nullptr);

    void Show(const std::shared_ptr<const AnalysisResult>& result, int top);
    void Clear();

    [[nodiscard]] QChart* PositionChart(int position) const;
    [[nodiscard]] QTableWidget* Table() const noexcept { return m_table; }
    [[nodiscard]] QString Verdict() const;
    [[nodiscard]] QWidget* ChartPanel() const noexcept { return m_charts; }

  private:
    std::array<QChartView*, 4> m_views{};
    QWidget* m_charts = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_verdict = nullptr;
};

// About this many points per line (two more at most): the first and the last
// evaluated draw are always among them.
inline constexpr std::size_t kMaxLinePoints = 800;

}  // namespace corvalith
