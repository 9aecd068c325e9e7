// The analysis window: non-modal, one per dialog, with the tabs 詳細, 検証,
// 全設定, 乱数性 and 買い目 for the history and setting the dialog held when it was
// opened. Each tab's result is computed on a worker thread of its own
// (with the tab's own progress bar and キャンセル meanwhile) that keeps going
// while another tab is shown, and cached for the run of the program per
// file state and setting. Charts save as PNG and SVG, tables as CSV, every tab as
// the command line's JSON. Its size, last tab and K live in the dialog's
// AnalysisSession, for the run only.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "commands/analysis_cache.h"
#include "commands/analysis_inputs.h"
#include "ui/analysis/analysis_job.h"
#include "ui/analysis/analysis_session.h"
#include "ui/analysis/analysis_tab_view.h"
#include "ui/analysis/chart_panel.h"

class QComboBox;
class QFileSystemWatcher;
class QTimer;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace corvalith {

class DetailTab;
class RandomnessTab;
class SweepTab;
class TicketsTab;
class VerifyTab;
class WindowServices;

class AnalysisWindow final : public QWidget, public ExportLabelSource {
    Q_OBJECT

  public:
    // `services` and `session` must outlive the window.
    AnalysisWindow(WindowServices& services, AnalysisSession& session, QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    // Shows the window on `tab` for `inputs` (the K kept from before) and
    // computes what the tab needs.
    void Open(const AnalysisInputs& inputs, AnalysisTab tab);

    [[nodiscard]] AnalysisTab CurrentTab() const;
    [[nodiscard]] const AnalysisInputs& Inputs() const noexcept { return m_inputs; }
    // Whether the current tab's (or `tab`'s) run is going on.
    [[nodiscard]] bool IsRunning() const { return IsRunning(CurrentTab()); }
    [[nodiscard]] bool IsRunning(AnalysisTab tab) const noexcept { return Run(tab).job != nullptr; }
    // What the status line says for the current tab (a failure, a cancelled
    // run, a run going on).
    [[nodiscard]] QString StatusText() const;
    [[nodiscard]] const AnalysisCache& Cache() const noexcept { return m_cache; }
    // How many computations were started (cache hits start none).
    [[nodiscard]] int RunsStarted() const noexcept { return m_runsStarted; }

    [[nodiscard]] QTabWidget* Tabs() const noexcept { return m_tabs; }
    [[nodiscard]] DetailTab* Detail() const noexcept { return m_detail; }
    [[nodiscard]] VerifyTab* Verify() const noexcept { return m_verify; }
    [[nodiscard]] SweepTab* Sweep() const noexcept { return m_sweep; }
    [[nodiscard]] RandomnessTab* Randomness() const noexcept { return m_randomness; }
    [[nodiscard]] TicketsTab* Tickets() const noexcept { return m_tickets; }
    // 検証's bet type for the 収支 chart (evaluate::kAllBetTypes order).
    [[nodiscard]] QComboBox* BetSelector() const noexcept { return m_bet; }
    // Each tab's progress bar and キャンセル (shown while its run goes on and it is current).
    [[nodiscard]] QProgressBar* Progress() const { return Progress(CurrentTab()); }
    [[nodiscard]] QProgressBar* Progress(AnalysisTab tab) const noexcept {
        return Run(tab).progress;
    }
    [[nodiscard]] QPushButton* CancelButton() const { return CancelButton(CurrentTab()); }
    [[nodiscard]] QPushButton* CancelButton(AnalysisTab tab) const noexcept {
        return Run(tab).cancel;
    }
    [[nodiscard]] QSpinBox* TopSelector() const noexcept { return m_top; }

    // The exports of the current tab, each through the save-file dialog.
    bool ExportPng();
    bool ExportSvg();
    bool ExportCsv();
    bool ExportJson();
    // The current tab's JSON (the command line's), or nothing before a result.
    [[nodiscard]] std::optional<std::string> CurrentJson() const;
    // The labels of a picture of the current tab: the inputs, the tab (with
    // 詳細's position; K and the bet type for the whole of 検証) and `chart`'s
    // own title, and the tab's caption.
    [[nodiscard]] ExportLabels LabelsFor(const QChart* chart) const override;

    // The history at `path` was written (by the dialog's commands): when it
    // is the window's, the tabs follow it.
    void HistoryWritten(const QString& path);
    // Whether `tab` shows (or computed) a result of the history as it was
    // before its last change; it is computed again when shown.
    [[nodiscard]] bool IsStale(AnalysisTab tab) const noexcept {
        return m_stale[static_cast<std::size_t>(tab)];
    }

    // The clock the runs are timed by, in milliseconds (a steady clock when
    // not set); tests set their own.
    void SetClock(std::function<std::int64_t()> now) { m_now = std::move(now); }
    // A run that has gone longer than this asks before キャンセル ends it.
    static constexpr std::int64_t kAskBeforeCancelMs = 10000;

    // What the next runs compute (ComputeAnalysis when empty); tests inject
    // failures through it.
    void SetCompute(AnalysisJob::Compute compute) { m_compute = std::move(compute); }

  signals:
    // A computation of any tab ended (done, failed or cancelled).
    void RunEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Follows a change of the history: the draw forecast moves on with its end
    // when it was the draw after it, every tab with a result is marked out of
    // date, and the current one is computed again (when the window shows).
    void FollowHistory();
    void WatchHistory();
    void SetStale(AnalysisTab tab, bool stale);

    // A tab's run: its job (null when none goes on), the key it computes,
    // its progress row and what the status line says for the tab.
    struct TabRun {
        AnalysisJob* job = nullptr;
        std::string key;
        QProgressBar* progress = nullptr;
        QPushButton* cancel = nullptr;
        QString status;
        std::int64_t startedMs = 0;  // m_now() when the job started
    };

    // キャンセル of `run`: at once, or after a question when the run has gone
    // longer than kAskBeforeCancelMs.
    void AskAndCancel(TabRun& run);

    void Refresh();
    void Start(AnalysisTab tab, const std::string& key, const FileStamp& stamp);
    void Finish(AnalysisTab tab, const std::string& key, const FileStamp& stamp,
                const AnalysisOutcome& outcome);
    // Stops every run whose key is not its tab's for the inputs and file now.
    void StopStaleRuns(const FileStamp& stamp);
    void ShowResult(AnalysisTab tab, const std::shared_ptr<const AnalysisResult>& result);
    void ClearTab(AnalysisTab tab);
    void StopJob(AnalysisTab tab);
    void StopAllJobs();
    void SetStatus(AnalysisTab tab, const QString& text);
    // Shows the progress row of the current tab's run, hides every other.
    void UpdateRunRows();
    [[nodiscard]] TabRun& Run(AnalysisTab tab) { return m_runs[static_cast<std::size_t>(tab)]; }
    [[nodiscard]] const TabRun& Run(AnalysisTab tab) const noexcept {
        return m_runs[static_cast<std::size_t>(tab)];
    }
    void UpdateHeader();
    void UpdateExports();
    // The view of `tab`, and the choices every view is shown with.
    [[nodiscard]] AnalysisTabView& View(AnalysisTab tab) const noexcept {
        return *m_views[static_cast<std::size_t>(tab)];
    }
    [[nodiscard]] TabChoices Choices() const;
    [[nodiscard]] QWidget* CurrentChartPanel() const;
    [[nodiscard]] QTableWidget* CurrentTable() const;
    // The result tab `tab` shows (null while it shows none).
    [[nodiscard]] std::shared_ptr<const AnalysisResult>& Shown(AnalysisTab tab);
    [[nodiscard]] const std::shared_ptr<const AnalysisResult>& Shown(AnalysisTab tab) const;
    [[nodiscard]] QString BaseName() const;
    // The suggested name of the current tab's CSV: BaseName with the
    // setting, K and draw the table depends on.
    [[nodiscard]] QString TableName() const;

    WindowServices& m_services;
    AnalysisSession& m_session;
    AnalysisJob::Compute m_compute;
    std::function<std::int64_t()> m_now;
    AnalysisInputs m_inputs;
    AnalysisCache m_cache;
    std::array<std::shared_ptr<const AnalysisResult>, kAnalysisTabCount> m_shown;
    std::array<TabRun, kAnalysisTabCount> m_runs;
    int m_runsStarted = 0;
    std::array<bool, kAnalysisTabCount> m_stale{};
    std::optional<FileStamp> m_seen;         // the history's stamp when last followed
    std::optional<std::int64_t> m_nextDraw;  // the draw after its end then
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_follow = nullptr;  // gathers a burst of change notices into one

    QLabel* m_header = nullptr;
    QLabel* m_topLabel = nullptr;
    QSpinBox* m_top = nullptr;
    QLabel* m_betLabel = nullptr;
    QTabWidget* m_tabs = nullptr;
    DetailTab* m_detail = nullptr;
    VerifyTab* m_verify = nullptr;
    SweepTab* m_sweep = nullptr;
    RandomnessTab* m_randomness = nullptr;
    TicketsTab* m_tickets = nullptr;
    std::array<AnalysisTabView*, kAnalysisTabCount> m_views{};  // the five above, in tab order
    QComboBox* m_bet = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_png = nullptr;
    QPushButton* m_svg = nullptr;
    QPushButton* m_csv = nullptr;
    QPushButton* m_json = nullptr;
};

}  // namespace corvalith
