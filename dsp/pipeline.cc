// The single-series pipeline: optional filtering, a power-of-two frame placed
// at the head, tail or centre (or head and tail together), the transform and
// SetSpectrum, with one trace line per step.
#include <algorithm>
#include <cstdint>

#include "dsp/buffer.h"
#include "dsp/fft.h"
#include "dsp/fft_placement.h"
#include "dsp/filter.h"
#include "dsp/filter_kind.h"
#include "dsp/filter_registry.h"
#include "dsp/head_tail_spectrum.h"
#include "dsp/spectrum.h"
#include "dsp/status.h"
#include "dsp/trace.h"

namespace corvalith {
namespace {

enum class Filtering { None, Requested };

// The largest power of two <= nLen (1 when nLen < 2).
std::uint32_t LargestPowerOfTwo(std::uint32_t nLen) noexcept {
    std::uint64_t n = 1;
    while (2 * n <= nLen) n *= 2;
    return static_cast<std::uint32_t>(n);
}

void TraceSeries(TraceLog& trace, const char* label, const Buffer<double>& series) {
    trace << label;
    for (std::size_t i = 0; i < series.size(); ++i) trace << series[i] << " ";
    trace.EndLine();
}

// Keeps the registry balanced: the run opens it once and closes it on every
// exit, after its FilterSpec (declared later) has released the run's kernel.
class FilterLibrarySession {
  public:
    FilterLibrarySession() { (void)OpenFilterLibrary(); }
    ~FilterLibrarySession() { CloseFilterLibrary(); }
    FilterLibrarySession(const FilterLibrarySession&) = delete;
    FilterLibrarySession& operator=(const FilterLibrarySession&) = delete;
};

// Filters `data` as iFType asks and copies the result over the series copy.
// Returns 0, or the LPF filtering error that ends the run.
int FilterSeries(WAData& data, int iFType, Buffer<double>& series, TraceLog& trace) {
    FilterLibrarySession session;
    FilterSpec spec;
    const bool lowPass = iFType == IFType(FilterKind::Lpf);
    if (lowPass || iFType == IFType(FilterKind::Bpf)) {
        // A failed design leaves no kernel, which ApplyFilter reports as -202.
        if (lowPass) {
            (void)DesignLPF(spec);
        } else {
            (void)DesignBPF(spec);
        }
        const int rc = ApplyFilter(spec, data);
        if (rc != kOk && lowPass) {
            trace << "Filtering failed with error code: " << rc;
            trace.EndLine();
            return rc;
        }
    }
    if (IsValid(data)) {
        const std::size_t copied = std::min<std::size_t>(data.count, series.size());
        std::copy(data.samples, data.samples + copied, series.data());
    }
    TraceSeries(trace, "Filtered data: ", series);
    return kOk;
}

int RunPipeline(Spectrum& out, WAData& data, std::uint32_t nLen, int fftFlag, int iFType,
                Filtering filtering, const std::string& name, const std::string& logPath,
                std::uint32_t interval) {
    TraceLog trace(logPath);
    trace << "ProcessSingleDigit called for " << name;
    trace.EndLine();
    if (filtering == Filtering::Requested) {
        trace << "fftFlag: " << fftFlag << ", iFType: " << iFType;
        trace.EndLine();
    }

    const std::uint32_t size = data.count;
    // nLen beyond the series would place frames past its end. It is refused
    // before the work arrays are made, since it sets their size.
    if (nLen > size) {
        trace << "Error getting WAData";
        trace.EndLine();
        return kBadArgument;
    }
    const std::uint32_t frame = LargestPowerOfTwo(nLen);
    auto re = Buffer<double>::Zeroed(frame);
    auto im = Buffer<double>::Zeroed(frame);
    auto series = Buffer<double>::Zeroed(size);
    if (!re || !im || !series) {
        trace << "Memory allocation failed for FFT work arrays";
        trace.EndLine();
        return kOutOfMemory;
    }
    if (!IsValid(data)) {
        trace << "Error getting WAData";
        trace.EndLine();
        return kBadArgument;
    }
    std::copy(data.samples, data.samples + size, series.data());

    trace << "Data size: " << size << ", nLen2: " << frame;
    trace.EndLine();
    TraceSeries(trace, "Input data for FFT: ", series);

    if (filtering == Filtering::Requested) {
        const int rc = FilterSeries(data, iFType, series, trace);
        if (rc != kOk) return rc;
    }

    int rc = kOk;
    // A frame that is the whole series is its head, whatever the placement.
    if (nLen == frame || fftFlag == FftFlag(FftPlacement::Head)) {
        rc = ComputeFFT(series.data(), re.data(), im.data(), frame, 0);
    } else if ((fftFlag == FftFlag(FftPlacement::Tail) ||
                fftFlag == FftFlag(FftPlacement::Center)) &&
               nLen < frame) {
        // nLen 0 still gets a one-sample frame; a tail or centre frame would
        // start before the series, so it is refused as the head-and-tail one is.
        rc = kBadArgument;
    } else if (fftFlag == FftFlag(FftPlacement::Tail)) {
        rc = ComputeFFT(series.data() + (nLen - frame), re.data(), im.data(), frame, 0);
    } else if (fftFlag == FftFlag(FftPlacement::Center)) {
        rc = ComputeFFT(series.data() + (nLen - frame) / 2, re.data(), im.data(), frame, 0);
    } else if (fftFlag == FftFlag(FftPlacement::HeadTail)) {
        rc = ComputeHeadTailSpectrum(series.data(), re.data(), im.data(), nLen, frame);
    } else {
        trace << "Undefined FFT processing flag";
        trace.EndLine();
        return kBadArgument;
    }
    if (rc != kOk) {
        trace << "FFT processing failed with error code: " << rc;
        trace.EndLine();
        return rc;
    }
    trace << "FFT processing succeeded";
    trace.EndLine();

    rc = out.SetSpectrum(re.data(), im.data(), frame, interval);
    if (rc != kOk) {
        trace << "SetSpectrum failed with error code: " << rc;
    } else {
        trace << "SetSpectrum succeeded";
    }
    trace.EndLine();
    return rc;
}

}  // namespace
}  // namespace corvalith

int Spectrum::ProcessSingleDigit(WAData& data, std::uint32_t nLen, int fftFlag, int iFType,
                                 const std::string& name, const std::string& logPath,
                                 std::uint32_t interval) noexcept {
    try {
        return corvalith::RunPipeline(*this, data, nLen, fftFlag, iFType,
                                      corvalith::Filtering::Requested, name, logPath, interval);
    } catch (...) {
        return corvalith::kOutOfMemory;  // only formatting a trace line can throw
    }
}

int Spectrum::ProcessSingleDigit(const WAData& data, std::uint32_t nLen, int fftFlag,
                                 const std::string& name, const std::string& logPath,
                                 std::uint32_t interval) noexcept {
    // The unfiltered run reads `data` only; the shared implementation's
    // write access is used by filtering alone.
    WAData view = data;
    try {
        return corvalith::RunPipeline(*this, view, nLen, fftFlag,
                                      corvalith::IFType(corvalith::FilterKind::None),
                                      corvalith::Filtering::None, name, logPath, interval);
    } catch (...) {
        return corvalith::kOutOfMemory;
    }
}
