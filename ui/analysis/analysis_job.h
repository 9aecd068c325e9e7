// One computation of the analysis window on a worker thread: progress and
// the end come back to the window's thread as queued signals; Cancel sets
// the flag the evaluation checks between units of work.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

#include "ui/analysis/analysis_results.h"

namespace corvalith {

class AnalysisJob final : public QObject {
    Q_OBJECT

  public:
    // Starts at once. `inputs` are copied.
    AnalysisJob(AnalysisTab tab, const AnalysisInputs& inputs, QObject* parent = nullptr);
    // Cancels and waits for the worker.
    ~AnalysisJob() override;
    AnalysisJob(const AnalysisJob&) = delete;
    AnalysisJob& operator=(const AnalysisJob&) = delete;

    void Cancel() noexcept { m_cancel->store(true); }
    [[nodiscard]] AnalysisTab tab() const noexcept { return m_tab; }

  signals:
    void Progress(int done, int total);
    // Once, on the window's thread, after the worker ended.
    void Finished(const corvalith::AnalysisOutcome& outcome);

  private:
    AnalysisTab m_tab;
    std::shared_ptr<std::atomic<bool>> m_cancel = std::make_shared<std::atomic<bool>>(false);
    std::thread m_worker;
};

}  // namespace corvalith

Q_DECLARE_METATYPE(corvalith::AnalysisOutcome)
