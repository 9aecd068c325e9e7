// 買い目: the tickets of the dialog's setting from the 詳細 forecast: the
// pick, its pattern, each ticket type with its chance and expected payout,
// the box orders and a spread of each position's first K digits
// (corvix-cli tickets). Every figure is at the theoretical amounts.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "commands/analysis_results.h"
#include "report/money_report.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

namespace corvalith {

class TicketsTab final : public QWidget {
    Q_OBJECT

  public:
    explicit TicketsTab(QWidget* parent = nullptr);

    // `inputs` names the setting the forecast `result` (a DetailResult) ran with.
    void Show(const std::shared_ptr<const AnalysisResult>& result, const AnalysisInputs& inputs);
    void Clear();

    [[nodiscard]] QTableWidget* Table() const noexcept { return m_table; }
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
