// Threads are started until one fails (no room for another thread, no
// memory for its state); the ones started join when the list goes out of scope.
#include "evaluate/worker_threads.h"

#include <vector>

namespace corvalith::evaluate {

unsigned RunOnThreads(unsigned threads, const std::function<void()>& work,
                      const ThreadStart& start) {
    std::vector<std::jthread> workers;
    try {
        workers.reserve(threads > 1 ? threads - 1 : 0);
        for (unsigned t = 1; t < threads; ++t) {
            workers.push_back(start ? start(work) : std::jthread(work));
        }
    } catch (...) {
        // Fewer threads: the work is shared out among those running.
    }
    work();
    return static_cast<unsigned>(workers.size()) + 1;
}

}  // namespace corvalith::evaluate
