// The counted workers of RunInBackground. The count lives in an object that
// is never destroyed, so a worker that ends while the program ends still
// finds its mutex.
#include "ui/background_task.h"

#include <condition_variable>
#include <thread>

namespace corvalith::detail {
namespace {

struct Count {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
};

Count& Workers() {
    static auto* count = new Count;  // never destroyed: workers may outlive main's statics
    return *count;
}

// Lives as a child of the receiver; its end cuts the worker's way back.
class Guard final : public QObject {
  public:
    Guard(QObject* receiver, std::shared_ptr<TaskLink> link)
        : QObject(receiver), m_link(std::move(link)) {}
    ~Guard() override {
        const std::lock_guard<std::mutex> lock(m_link->mutex);
        m_link->receiver = nullptr;
    }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

  private:
    std::shared_ptr<TaskLink> m_link;
};

}  // namespace

std::shared_ptr<TaskLink> LinkTo(QObject* receiver) {
    auto link = std::make_shared<TaskLink>();
    link->receiver = receiver;
    new Guard(receiver, link);
    return link;
}

bool StartCounted(std::function<void()> work) noexcept {
    Count& count = Workers();
    {
        const std::lock_guard<std::mutex> lock(count.mutex);
        ++count.running;
    }
    try {
        std::thread([work = std::move(work), &count]() mutable {
            try {
                work();
            } catch (...) {  // the work reports its own failures; nothing may escape a thread
            }
            work = nullptr;  // what the work held goes before the count says it ended
            const std::lock_guard<std::mutex> lock(count.mutex);
            --count.running;
            count.ended.notify_all();
        }).detach();
        return true;
    } catch (...) {
        const std::lock_guard<std::mutex> lock(count.mutex);
        --count.running;
        return false;
    }
}

}  // namespace corvalith::detail

namespace corvalith {

void WaitForBackgroundTasks() noexcept {
    detail::Count& count = detail::Workers();
    std::unique_lock<std::mutex> lock(count.mutex);
    count.ended.wait(lock, [&count] { return count.running == 0; });
}

}  // namespace corvalith
