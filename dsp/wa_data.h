// WAData: one numeric series, the record that travels from the history reader
// through the predictors into the signal-processing pipeline.
#pragma once

#include <cstdint>
#include <memory>

// A record that holds nothing is all zero. `samples` is allocated with
// array-new and released with array-delete by whoever owns the record.
struct WAData {
    double* samples = nullptr;  // `count` doubles, or null when empty
    std::uint32_t count = 0;    // number of samples
    std::uint32_t rate = 0;     // sampling rate; every producer sets 1
};

namespace corvalith {

// Gives the record `samples` (null allowed) in place of its array, which is
// released; count and rate are the caller's to set. The record's raw array is
// owned by contract: these two helpers are the only places that free it.
inline void ReplaceSamples(WAData& data, std::unique_ptr<double[]> samples) noexcept {
    delete[] data.samples;             // NOLINT(cppcoreguidelines-owning-memory)
    data.samples = samples.release();  // NOLINT(cppcoreguidelines-owning-memory)
}

// Releases the record's array and leaves the record all zero.
inline void ReleaseSamples(WAData& data) noexcept {
    ReplaceSamples(data, nullptr);
    data = WAData{};
}

// Owns a WAData for one scope and releases its array on every exit.
class ScopedWAData {
  public:
    ScopedWAData() = default;
    ~ScopedWAData() { ReleaseSamples(data_); }
    ScopedWAData(const ScopedWAData&) = delete;
    ScopedWAData& operator=(const ScopedWAData&) = delete;

    WAData& get() noexcept { return data_; }
    const WAData& get() const noexcept { return data_; }

  private:
    WAData data_{};
};

// True when the record can be analysed: samples present, count and rate nonzero.
inline bool IsValid(const WAData& data) noexcept {
    return data.count != 0 && data.rate != 0 && data.samples != nullptr;
}

}  // namespace corvalith
