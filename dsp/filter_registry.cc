// The registry table itself. A slot is free when its length is 0; kernels are
// owned arrays released by ReleaseKernel, by the last close or when the
// thread ends. The table is thread_local rather than one locked table: a run
// on the window's thread never waits behind a worker's filtering, and an
// open that is never closed cannot hold another thread's forecasts up.
#include "dsp/filter_registry.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "dsp/buffer.h"
#include "dsp/status.h"

namespace corvalith {
namespace {

struct KernelSlot {
    std::int32_t length = 0;  // 0 = free, otherwise kKernelTaps
    std::unique_ptr<double[]> taps;
};

struct Registry {
    std::uint32_t openCount = 0;
    std::array<KernelSlot, kKernelSlots> slots;
};

Registry& TheRegistry() noexcept {
    thread_local Registry registry;
    return registry;
}

bool InRange(std::int32_t slot) noexcept { return slot >= 0 && slot < kKernelSlots; }

}  // namespace

namespace detail {

const double* KernelTaps(std::int32_t slot) noexcept {
    Registry& registry = TheRegistry();
    if (registry.openCount == 0 || !InRange(slot)) return nullptr;
    const KernelSlot& entry = registry.slots[static_cast<std::size_t>(slot)];
    return entry.length != 0 ? entry.taps.get() : nullptr;
}

bool FilterLibraryIsOpen() noexcept { return TheRegistry().openCount != 0; }

}  // namespace detail
}  // namespace corvalith

int OpenFilterLibrary() noexcept {
    auto& registry = corvalith::TheRegistry();
    if (++registry.openCount == 1) {
        for (auto& slot : registry.slots) slot.length = 0;
    }
    return corvalith::kOk;
}

int CloseFilterLibrary() noexcept {
    auto& registry = corvalith::TheRegistry();
    if (registry.openCount != 0 && --registry.openCount == 0) {
        for (auto& slot : registry.slots) {
            if (slot.length != 0) slot.taps.reset();
            slot.length = 0;
        }
    }
    return corvalith::kOk;
}

int RegisterKernel(const double* taps) noexcept {
    using namespace corvalith;
    auto& registry = TheRegistry();
    if (registry.openCount == 0) return kRegistryClosed;
    auto free = std::find_if(registry.slots.begin(), registry.slots.end(),
                             [](const KernelSlot& slot) { return slot.length == 0; });
    if (free == registry.slots.end()) return kRegistryFull;
    free->taps = NewZeroedArray<double>(kKernelTaps);
    if (!free->taps) return kOutOfMemory;
    std::copy(taps, taps + kKernelTaps, free->taps.get());
    free->length = kKernelTaps;
    return static_cast<int>(free - registry.slots.begin());
}

void ReleaseKernel(std::int32_t slot) noexcept {
    using namespace corvalith;
    auto& registry = TheRegistry();
    if (slot == -1 || !InRange(slot) || registry.openCount == 0) return;
    auto& entry = registry.slots[static_cast<std::size_t>(slot)];
    entry.length = 0;
    entry.taps.reset();
}
