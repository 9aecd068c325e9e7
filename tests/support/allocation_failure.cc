// operator new counts each allocation of its thread; the array and nothrow
// forms are replaced too and go through it, so they fail with it and every
// block is freed by the matching delete (a sanitizer runtime would otherwise
// supply its own nothrow form).
#include "tests/support/allocation_failure.h"

#include <cstdlib>
#include <new>

namespace corvalith::testing {
namespace {

thread_local std::size_t allocations = 0;
thread_local std::size_t failAt = 0;  // 0: none armed
thread_local bool failed = false;

}  // namespace

FailingAllocation::FailingAllocation(std::size_t n) noexcept {
    failAt = allocations + n;
    failed = false;
}

FailingAllocation::~FailingAllocation() { failAt = 0; }

bool FailingAllocation::Failed() const noexcept { return failed; }

std::size_t AllocationsSoFar() noexcept { return allocations; }

}  // namespace corvalith::testing

void* operator new(std::size_t size) {
    using namespace corvalith::testing;
    if (++allocations == failAt) {
        failed = true;
        throw std::bad_alloc();
    }
    for (;;) {
        if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return ::operator new(size, std::nothrow);
}
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
