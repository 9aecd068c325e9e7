// One computation of the analysis window on a worker thread: progress (in
// thousandths of the run, from its first bytes read) and the end come back
// to the window's thread as queued signals; Cancel sets
// the flag the computation checks between steps. Destroying a job never
// waits for its worker: the worker is told to stop, posts nothing more and
// is joined by a thread of its own.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

#include "commands/analysis_results.h"

namespace corvalith {

class AnalysisJob final : public QObject {
    Q_OBJECT

  public:
    // What the worker runs (ComputeAnalysis; tests wrap it to inject faults).
    using Compute = std::function<AnalysisOutcome(AnalysisTab, const AnalysisInputs&,
                                                  const evaluate::RunControl&)>;

    // Starts at once. `inputs` are copied.
    AnalysisJob(AnalysisTab tab, const AnalysisInputs& inputs, QObject* parent = nullptr,
                Compute compute = {});
    // Cancels and hands the worker to the joining thread.
    ~AnalysisJob() override;
    AnalysisJob(const AnalysisJob&) = delete;
    AnalysisJob& operator=(const AnalysisJob&) = delete;

    void Cancel() noexcept;
    [[nodiscard]] AnalysisTab tab() const noexcept { return m_tab; }

    // The scale of Progress: `done` of kProgressTotal.
    static constexpr int kProgressTotal = 1000;

  signals:
    // Each time another thousandth of the run is done (never falling).
    void Progress(int done, int total);
    // Once, on the window's thread, after the computation ended.
    void Finished(const corvalith::AnalysisOutcome& outcome);

  private:
    struct Link;
    AnalysisTab m_tab;
    std::shared_ptr<Link> m_link;
    std::thread m_worker;
};

// Waits until every worker of a destroyed job has ended. The program calls
// it once its windows are gone, before anything a worker uses is destroyed.
void WaitForAnalysisWorkers() noexcept;

}  // namespace corvalith

Q_DECLARE_METATYPE(corvalith::AnalysisOutcome)
