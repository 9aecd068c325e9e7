// Injected allocation failures: this object replaces the global operator new
// of the test program it is linked into, and can make one chosen allocation
// of the calling thread throw std::bad_alloc, as exhausted memory would.
#pragma once

#include <cstddef>

namespace corvalith::testing {

// While alive, the `n`-th allocation (1-based) the constructing thread makes
// fails (0: none does); every other allocation succeeds. Other threads are
// not affected.
class FailingAllocation {
  public:
    explicit FailingAllocation(std::size_t n) noexcept;
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // The chosen allocation was reached (and failed).
    [[nodiscard]] bool Failed() const noexcept;
};

// Allocations made on this thread so far (a counter that only grows).
[[nodiscard]] std::size_t AllocationsSoFar() noexcept;

}  // namespace corvalith::testing
