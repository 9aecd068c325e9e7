// What the analysis window asks of each of its tabs: show a result under the
// window's choices, clear, and what the tab exports and how its pictures
// are labelled. The window keeps its tabs in one array in AnalysisTab's
// order and asks them instead of switching on which tab it is.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "commands/analysis_inputs.h"
#include "commands/analysis_results.h"
#include "evaluate/ticket_rules.h"

class QTableWidget;
class QWidget;

namespace corvalith {

// The window's choices a tab's view depends on besides its result.
struct TabChoices {
    AnalysisInputs inputs;  // what the results were computed for
    int top = 1;            // K
    evaluate::BetType bet = evaluate::BetType::Straight;
};

class AnalysisTabView {
  public:
    AnalysisTabView() = default;
    AnalysisTabView(const AnalysisTabView&) = delete;
    AnalysisTabView& operator=(const AnalysisTabView&) = delete;
    virtual ~AnalysisTabView() = default;

    virtual void ShowResult(const std::shared_ptr<const AnalysisResult>& result,
                            const TabChoices& choices) = 0;
    virtual void Clear() = 0;

    // What PNG and SVG save, and what CSV writes (none when the tab has none);
    // a second table written beside the first (検証's 収支).
    [[nodiscard]] virtual QWidget* ChartPanel() const { return nullptr; }
    [[nodiscard]] virtual QTableWidget* Table() const { return nullptr; }
    [[nodiscard]] virtual QTableWidget* CompanionTable() const { return nullptr; }

    // The command line's JSON of the shown `result`.
    [[nodiscard]] virtual std::optional<std::string> Json(const AnalysisResult& result,
                                                          const TabChoices& choices) const;

    // What a picture of the whole tab shows beyond the tab's name (the
    // position, K, the bet type), with its leading separator; and the
    // caption that says what the tab's lines and bars mean.
    [[nodiscard]] virtual QString PictureWhat(const TabChoices& choices) const;
    [[nodiscard]] virtual QString Legend(const TabChoices& choices) const;

    // What the CSV's suggested name adds to the tab's: the setting, K or
    // the draw that the table depends on.
    [[nodiscard]] virtual QString TableNameSuffix(const TabChoices& choices) const;

    // Whether K and the bet type change what the tab shows.
    [[nodiscard]] virtual bool UsesTop() const { return false; }
    [[nodiscard]] virtual bool UsesBet() const { return false; }
};

// "-LPF-15-head": the setting as it runs, for file names.
[[nodiscard]] QString SettingFileWord(const AnalysisInputs& inputs);

}  // namespace corvalith
