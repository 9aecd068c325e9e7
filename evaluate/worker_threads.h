// The threads of a parallel run. The calling thread always takes part, so a
// run goes on, more slowly, with whatever threads could be started.
#pragma once

#include <functional>
#include <thread>

namespace corvalith::evaluate {

// Starts a thread that runs `work`; throws (std::system_error, as std::jthread
// does) when it cannot.
using ThreadStart = std::function<std::jthread(std::function<void()>)>;

// Runs `work` on the calling thread and on up to `threads` - 1 more started
// with `start` (empty: std::jthread), and returns once every one has
// returned. `work` must take its units from a shared counter, so that a
// thread that cannot start leaves its share to the others. Returns how many
// threads ran `work` (at least 1). Throws only what `work` on the calling
// thread throws.
unsigned RunOnThreads(unsigned threads, const std::function<void()>& work,
                      const ThreadStart& start = {});

}  // namespace corvalith::evaluate
