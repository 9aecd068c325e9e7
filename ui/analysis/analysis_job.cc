// The worker posts into the job's thread through QMetaObject::invokeMethod;
// a job destroyed first has cancelled and joined the worker, so nothing is
// posted to a dead object.
#include "ui/analysis/analysis_job.h"

#include <QMetaObject>
#include <QPointer>

namespace corvalith {

AnalysisJob::AnalysisJob(AnalysisTab tab, const AnalysisInputs& inputs, QObject* parent)
    : QObject(parent), m_tab(tab) {
    QPointer<AnalysisJob> self(this);
    m_worker = std::thread([self, tab, inputs, cancel = m_cancel] {
        evaluate::RunControl control;
        control.cancel = cancel.get();
        control.progress = [self, cancel](std::size_t done, std::size_t total) {
            if (cancel->load()) return;
            QMetaObject::invokeMethod(
                self.data(),
                [self, done, total] {
                    if (self) emit self->Progress(static_cast<int>(done), static_cast<int>(total));
                },
                Qt::QueuedConnection);
        };
        AnalysisOutcome outcome = ComputeAnalysis(tab, inputs, control);
        if (cancel->load()) outcome = {};  // a cancelled run shows nothing as complete
        QMetaObject::invokeMethod(
            self.data(),
            [self, outcome = std::move(outcome)] {
                if (self) emit self->Finished(outcome);
            },
            Qt::QueuedConnection);
    });
}

AnalysisJob::~AnalysisJob() {
    Cancel();
    if (m_worker.joinable()) m_worker.join();
}

}  // namespace corvalith
