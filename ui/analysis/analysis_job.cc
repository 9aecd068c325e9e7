// The worker shares a Link with its job: the cancel flag and, under a
// mutex, the job to post to. The job's destructor clears that pointer under
// the same mutex, so a post either reaches a live job (Qt drops the queued
// call if the job dies before it runs) or is not made. The worker owns
// copies of everything else it reads. Ended jobs' threads go to one joining
// thread, so neither the window's thread nor the program's end waits for a
// computation that was cancelled.
#include "ui/analysis/analysis_job.h"

#include <QMetaObject>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace corvalith {

struct AnalysisJob::Link {
    std::atomic<bool> cancel{false};
    std::atomic<int> shown{0};  // the last thousandth posted, so each is posted once
    std::mutex mutex;
    AnalysisJob* job = nullptr;  // under `mutex`; null once the job is gone

    // Runs `call` on the job's thread, with the job, unless it is gone.
    template <typename Call>
    void Post(Call call) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (job == nullptr) return;
        AnalysisJob* target = job;
        QMetaObject::invokeMethod(
            target, [target, call = std::move(call)] { call(*target); }, Qt::QueuedConnection);
    }
};

namespace {

// Joins the threads of ended jobs on a thread of its own.
class WorkerJoiner {
  public:
    ~WorkerJoiner() { JoinAll(); }

    void Adopt(std::thread worker) noexcept {
        try {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_joiner.joinable() && !m_stopping) m_joiner = std::thread([this] { Loop(); });
            m_waiting.push_back(std::move(worker));
            m_wake.notify_one();
        } catch (...) {  // no joining thread: the worker ends on its own
            if (worker.joinable()) worker.detach();
        }
    }

    void JoinAll() noexcept {
        std::thread joiner;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
            joiner = std::move(m_joiner);
        }
        m_wake.notify_all();
        if (joiner.joinable()) joiner.join();
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (std::thread& worker : m_waiting) worker.join();  // adopted while stopping
        m_waiting.clear();
        m_stopping = false;
    }

  private:
    void Loop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
            if (m_waiting.empty()) return;  // stopping, and every worker joined
            std::thread worker = std::move(m_waiting.front());
            m_waiting.pop_front();
            lock.unlock();
            worker.join();
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::thread> m_waiting;
    std::thread m_joiner;
    bool m_stopping = false;
};

WorkerJoiner& Joiner() {
    static WorkerJoiner joiner;
    return joiner;
}

}  // namespace

AnalysisJob::AnalysisJob(AnalysisTab tab, const AnalysisInputs& inputs, QObject* parent,
                         Compute compute)
    : QObject(parent), m_tab(tab), m_link(std::make_shared<Link>()) {
    (void)Joiner();  // made before the worker, so it outlives what the worker uses
    m_link->job = this;
    if (!compute) compute = ComputeAnalysis;
    auto work = [link = m_link, tab, inputs, compute = std::move(compute)] {
        evaluate::RunControl control;
        control.cancel = &link->cancel;
        // The run reports its share often; only a new thousandth reaches the window.
        control.share = [&link](double share) {
            if (link->cancel.load()) return;
            // A whole share summed in parts may fall short of 1 by a rounding.
            const int done =
                std::clamp(static_cast<int>(share * kProgressTotal + 1e-6), 0, kProgressTotal);
            int shown = link->shown.load();
            while (done > shown) {
                if (!link->shown.compare_exchange_weak(shown, done)) continue;
                link->Post([done](AnalysisJob& job) { emit job.Progress(done, kProgressTotal); });
                return;
            }
        };
        AnalysisOutcome outcome = compute(tab, inputs, control);
        if (link->cancel.load()) outcome = {};  // a cancelled run shows nothing as complete
        link->Post(
            [outcome = std::move(outcome)](AnalysisJob& job) { emit job.Finished(outcome); });
    };
    try {
        m_worker = std::thread(std::move(work));
    } catch (...) {  // no thread to run it on: the run failed
        AnalysisOutcome failed;
        failed.end = AnalysisEnd::Failed;
        m_link->Post([failed](AnalysisJob& job) { emit job.Finished(failed); });
    }
}

AnalysisJob::~AnalysisJob() {
    {
        const std::lock_guard<std::mutex> lock(m_link->mutex);
        m_link->job = nullptr;
    }
    Cancel();
    if (m_worker.joinable()) Joiner().Adopt(std::move(m_worker));
}

void AnalysisJob::Cancel() noexcept { m_link->cancel.store(true); }

void WaitForAnalysisWorkers() noexcept { Joiner().JoinAll(); }

}  // namespace corvalith
