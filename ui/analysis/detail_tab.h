// 詳細: for the chosen position, the ten digits' power spectra (x the
// frequency bin, y the normalised power, each digit's peak marked in its
// colour) and the
// ten scores as bars in ranked order: predict --format json's numbers.
#pragma once

#include <QWidget>

#include "commands/analysis_results.h"
#include "ui/analysis/analysis_tab_view.h"

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;
class QValueAxis;

namespace corvalith {

class WindowServices;

class DetailTab final : public QWidget, public AnalysisTabView {
    Q_OBJECT

  public:
    DetailTab(WindowServices* services, QWidget* parent = nullptr);

    void ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                    const TabChoices& choices) override;
    void Clear() override;
    void SelectPosition(int position);

    [[nodiscard]] QChart* SpectrumChart() const;
    [[nodiscard]] QChart* ScoreChart() const;
    [[nodiscard]] QWidget* ChartPanel() const noexcept override { return m_charts; }
    [[nodiscard]] QComboBox* PositionSelector() const noexcept { return m_position; }
    // Checked: the spectra over every bin; unchecked: over the peaks' bins.
    [[nodiscard]] QCheckBox* FullRangeBox() const noexcept { return m_fullRange; }

    // Each digit's peak bin and score, in digit order.
    [[nodiscard]] QTableWidget* PeakTable() const noexcept { return m_peaks; }

    [[nodiscard]] QString PictureWhat(const TabChoices& choices) const override;
    [[nodiscard]] QString Legend(const TabChoices& choices) const override;

  private:
    void Redraw();
    // One maker per chart (the caller takes the chart over), and the peak table.
    [[nodiscard]] QChart* MakeSpectrumChart(const PositionForecast& forecast);
    [[nodiscard]] static QChart* MakeScoreChart(const PositionForecast& forecast);
    void FillPeakTable(const PositionForecast* forecast);
    void ShowBinRange(QValueAxis& axis) const;

    std::shared_ptr<const AnalysisResult> m_result;
    QComboBox* m_position = nullptr;
    QLabel* m_text = nullptr;
    QCheckBox* m_fullRange = nullptr;
    double m_bins = 1;
    double m_peakBins = 1;
    QWidget* m_charts = nullptr;
    QChartView* m_spectra = nullptr;
    QChartView* m_scores = nullptr;
    QTableWidget* m_peaks = nullptr;
};

}  // namespace corvalith
