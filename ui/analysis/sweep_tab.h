// 全設定: the 63 settings x 4 positions as one sortable table (rate, 95 %
// interval, p, Holm-adjusted p) with a colour scale, and the command line's
// verdict. Double-clicking a row opens its setting in 検証.
#pragma once

#include <QWidget>

#include "commands/analysis_results.h"
#include "ui/analysis/analysis_tab_view.h"

class QLabel;
class QTableWidget;

namespace corvalith {

class SweepTab final : public QWidget, public AnalysisTabView {
    Q_OBJECT

  public:
    explicit SweepTab(QWidget* parent = nullptr);

    void ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                    const TabChoices& choices) override;
    void Clear() override;

    [[nodiscard]] QTableWidget* Table() const noexcept override { return m_table; }
    // Every setting is in the table: its name holds K alone.
    [[nodiscard]] QString TableNameSuffix(const TabChoices& choices) const override;
    [[nodiscard]] bool UsesTop() const override { return true; }
    [[nodiscard]] QString Verdict() const;
    // The setting of a table row (in its current order).
    [[nodiscard]] evaluate::Setting SettingOfRow(int row) const;

  signals:
    void OpenSetting(const corvalith::evaluate::Setting& setting);

  private:
    std::shared_ptr<const AnalysisResult> m_result;
    QTableWidget* m_table = nullptr;
    QLabel* m_verdict = nullptr;
};

// The table's columns.
enum SweepColumn {
    kSweepFilter,
    kSweepInterval,
    kSweepFft,
    kSweepPosition,
    kSweepRate,
    kSweepLow,
    kSweepHigh,
    kSweepP,
    kSweepHolm,
    kSweepColumns
};

}  // namespace corvalith
