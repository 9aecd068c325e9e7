// Runs a blocking step (a history write, which may wait for another
// program's lock and for fsync) on a thread of its own and hands its result
// back on the window's thread. The window's thread never waits for the
// worker: the result arrives as a queued call, and it is dropped when the
// receiver is gone by then. The program's end waits for the workers once its
// windows are gone (WaitForBackgroundTasks), so no write is cut short there.
#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace corvalith {

namespace detail {

// What the worker posts through: the receiver, cleared under `mutex` when a
// guard object that lives as its child is destroyed.
struct TaskLink {
    std::mutex mutex;
    QObject* receiver = nullptr;
};

// Attaches a guard to `receiver` that clears the link when it goes.
std::shared_ptr<TaskLink> LinkTo(QObject* receiver);
// Starts `work` on a new thread counted by WaitForBackgroundTasks; false
// when no thread could be made (nothing ran).
bool StartCounted(std::function<void()> work) noexcept;

}  // namespace detail

// Runs `work` off the window's thread, then `done(result)` on `receiver`'s
// thread unless `receiver` is gone. When no thread can be made, `work` runs
// nowhere and `done` gets `whenNoThread`.
template <typename Result>
void RunInBackground(QObject* receiver, std::function<Result()> work,
                     std::function<void(const Result&)> done, Result whenNoThread) {
    std::shared_ptr<detail::TaskLink> link = detail::LinkTo(receiver);
    auto post = [link, done](Result result) {
        const std::lock_guard<std::mutex> lock(link->mutex);
        if (link->receiver == nullptr) return;
        QMetaObject::invokeMethod(
            link->receiver, [done, result = std::move(result)] { done(result); },
            Qt::QueuedConnection);
    };
    if (!detail::StartCounted([work = std::move(work), post] { post(work()); })) {
        post(std::move(whenNoThread));
    }
}

// Waits until every worker started by RunInBackground has ended.
void WaitForBackgroundTasks() noexcept;

}  // namespace corvalith
