// 買い目: the tickets of the dialog's setting from the 詳細 forecast: the
// pick, its pattern, each ticket type with its chance and expected payout,
// the box orders and a spread of each position's first K digits
// (corvix-cli tickets). Every figure is at the theoretical amounts; with the
// history's payouts each listed number also shows its classes and what it
// is estimated to pay if it wins.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "commands/analysis_results.h"
#include "report/money_report.h"
#include "ui/analysis/analysis_tab_view.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

namespace corvalith {

class TicketsTab final : public QWidget, public AnalysisTabView {
    Q_OBJECT

  public:
    explicit TicketsTab(QWidget* parent = nullptr);

    // The choices' inputs name the setting the forecast `result` (a
    // DetailResult) ran with.
    void ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                    const TabChoices& choices) override;
    void Clear() override;

    [[nodiscard]] QTableWidget* Table() const noexcept override { return m_table; }
    [[nodiscard]] std::optional<std::string> Json(const AnalysisResult& result,
                                                  const TabChoices& choices) const override;
    // The plan is of one draw: the name holds it.
    [[nodiscard]] QString TableNameSuffix(const TabChoices& choices) const override;
    [[nodiscard]] QSpinBox* SpreadSelector() const noexcept { return m_spread; }
    [[nodiscard]] QString Text() const;
    // tickets --format json for the shown forecast and spread, or nothing.
    [[nodiscard]] std::optional<std::string> Json() const;

  private:
    void Redraw();

    std::optional<TicketsReport> m_report;
    evaluate::Rankings m_rankings{};
    QSpinBox* m_spread = nullptr;
    QTableWidget* m_table = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_note = nullptr;
};

}  // namespace corvalith
