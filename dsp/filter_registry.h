// The registry of FIR filter kernels: up to 100 slots of 128 taps, opened
// and closed by reference count. Every thread has a registry of its own, so
// forecasts on two threads never share (or wait for) a kernel table; a slot
// index means a slot of the calling thread's registry.
#pragma once

#include <cstdint>

namespace corvalith {

inline constexpr std::int32_t kKernelSlots = 100;
inline constexpr std::int32_t kKernelTaps = 128;  // a power of two, as the FFT design needs

}  // namespace corvalith

// Raises the open count; the first open marks all slots free. Returns 0.
[[nodiscard]] int OpenFilterLibrary() noexcept;

// Lowers the open count (when nonzero); when it reaches 0 every kernel is
// released. Returns 0.
int CloseFilterLibrary() noexcept;

// Stores a copy of 128 taps in the lowest free slot and returns its index
// (0 .. 99); -201 when the registry is not open, -203 when all slots are
// taken, -2 when the copy cannot be allocated.
[[nodiscard]] int RegisterKernel(const double* taps) noexcept;

// Frees slot `slot` when it is not -1, lies in 0 .. 99 and the registry is open.
void ReleaseKernel(std::int32_t slot) noexcept;

namespace corvalith::detail {

// The taps of a registered slot (kKernelTaps doubles), or null when the
// registry is closed or the slot is free or out of range.
[[nodiscard]] const double* KernelTaps(std::int32_t slot) noexcept;

// Whether the registry is open (open count above 0).
[[nodiscard]] bool FilterLibraryIsOpen() noexcept;

}  // namespace corvalith::detail
