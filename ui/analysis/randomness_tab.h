// 乱数性: per position a bar chart of each digit's count minus the expected
// count with chance's 95 % band, and the frequency, serial, repeat and pair
// tests with p-values and a plain reading of each; the command line's
// verdict below.
#pragma once

#include <QWidget>
#include <array>

#include "commands/analysis_results.h"
#include "ui/analysis/analysis_tab_view.h"

class QChart;
class QChartView;
class QLabel;
class QTableWidget;

namespace corvalith {

class WindowServices;

class RandomnessTab final : public QWidget, public AnalysisTabView {
    Q_OBJECT

  public:
    RandomnessTab(WindowServices* services, QWidget* parent = nullptr);

    void ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                    const TabChoices& choices) override;
    void Clear() override;

    [[nodiscard]] QChart* CountChart(int position) const;
    [[nodiscard]] QTableWidget* Table() const noexcept override { return m_table; }
    [[nodiscard]] QString Verdict() const;
    [[nodiscard]] QWidget* ChartPanel() const noexcept override { return m_charts; }
    [[nodiscard]] QString Legend(const TabChoices& choices) const override;

  private:
    std::array<QChartView*, 4> m_views{};
    QWidget* m_charts = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_verdict = nullptr;
};

// The table's rows: the frequency test of each position, the serial and
// repeat tests of each, the six pairs of positions.
inline constexpr int kRandomnessRows = 18;

// The table's columns: 検定, 統計量 (χ² or repeats), 自由度, p値, 有意 (＊ or
// empty), 読み方.
inline constexpr int kRandomnessColumns = 6;
inline constexpr int kRandomnessSignificant = 4;
inline constexpr int kRandomnessReading = 5;

}  // namespace corvalith
