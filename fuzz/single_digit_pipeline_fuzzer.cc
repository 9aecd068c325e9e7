// Both overloads of Spectrum::ProcessSingleDigit with an arbitrary series,
// length, placement flag, filter kind and interval. Input layout (the series
// of series_input.h follows it):
//   u8  options: bit 0 the overload without filter, bit 1 a trace file,
//       bit 2 a record that already holds a spectrum, bits 3-4 how nLen is
//       made from the parameter below: 0 the count, 1 at most the count,
//       2 beyond the count (by up to 65536), 3 the parameter itself
//   placement flag and filter kind selectors (series_input.h)
//   u8  interval: below 0xF0 that value, else a u32 follows
//   u32 nLen parameter
// Besides the sanitizers' checks, each run is held to the pipeline's contract.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "dsp/filter_registry.h"
#include "dsp/spectrum.h"
#include "dsp/status.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_file.h"
#include "fuzz/series_input.h"

namespace {

using corvalith::fuzz::FuzzInput;
using corvalith::fuzz::FuzzSeries;

std::uint32_t LargestPowerOfTwo(std::uint32_t nLen) {
    std::uint64_t n = 1;
    while (2 * n <= nLen) n *= 2;
    return static_cast<std::uint32_t>(n);
}

std::uint32_t MakeLength(unsigned mode, std::uint32_t parameter, std::uint32_t count) {
    switch (mode) {
        case 0:
            return count;
        case 1:
            return parameter % (count + 1);
        case 2:
            return count + 1 + parameter % 65536;
        default:
            return parameter;
    }
}

bool IsKnownCode(int rc) {
    using namespace corvalith;
    return rc == kOk || rc == kBadArgument || rc == kOutOfMemory || rc == kEmptySeries ||
           rc == kRegistryClosed || rc == kNoKernel;
}

// Finite, moderate values keep every spectrum value finite and non-negative.
bool AllModerate(const WAData& data) {
    for (std::uint32_t i = 0; i < data.count; ++i) {
        if (!(std::fabs(data.samples[i]) <= 1e6)) return false;
    }
    return true;
}

// A spectrum from an earlier run, so that failures can be seen to keep it.
void FillEarlier(Spectrum& out) {
    const double re[2] = {1.0, 2.0};
    const double im[2] = {0.0, -1.0};
    FUZZ_CHECK(out.SetSpectrum(re, im, 2, 3) == corvalith::kOk);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static corvalith::fuzz::MemoryFile traceFile;
    FuzzInput input(data, size);
    const std::uint8_t options = input.U8();
    const bool unfiltered = (options & 1) != 0;
    const bool traced = (options & 2) != 0;
    const bool prefilled = (options & 4) != 0;
    const unsigned lengthMode = (options >> 3) & 3;
    const std::int32_t fftFlag = corvalith::fuzz::PlacementFlag(input);
    const std::int32_t iFType = corvalith::fuzz::FilterKind(input);
    const std::uint8_t intervalSelector = input.U8();
    const std::uint32_t interval = intervalSelector < 0xF0 ? intervalSelector : input.U32();
    const std::uint32_t lengthParameter = input.U32();
    FuzzSeries series(input);
    WAData& record = series.record();
    const std::uint32_t count = record.count;
    const std::uint32_t nLen = MakeLength(lengthMode, lengthParameter, count);
    const bool valid = corvalith::IsValid(record);
    const bool moderate = valid && AllModerate(record);

    std::string logPath;
    if (traced) {
        traceFile.Clear();
        logPath = traceFile.path();
    }
    Spectrum out;
    if (prefilled) FillEarlier(out);
    const double* earlierPower = out.power.get();

    const int rc = unfiltered ? out.ProcessSingleDigit(std::as_const(record), nLen, fftFlag,
                                                       "Digit 0 Count", logPath, interval)
                              : out.ProcessSingleDigit(record, nLen, fftFlag, iFType,
                                                       "Digit 0 Count", logPath, interval);

    FUZZ_CHECK(IsKnownCode(rc));
    FUZZ_CHECK(!corvalith::detail::FilterLibraryIsOpen());
    const bool filters = !unfiltered && (iFType == 0 || iFType == 1);
    if (!filters) FUZZ_CHECK(series.Unchanged());

    const std::uint32_t frame = LargestPowerOfTwo(nLen);
    const bool definedFlag = fftFlag >= -1 && fftFlag <= 2;
    if (!valid || nLen > count || interval == 0 || (nLen != frame && !definedFlag)) {
        FUZZ_CHECK(rc == corvalith::kBadArgument);
    } else {
        // nLen 0 has a one-sample frame that only the head placement can cut.
        FUZZ_CHECK(rc == (nLen == 0 && fftFlag != 0 ? corvalith::kBadArgument : corvalith::kOk));
    }

    if (rc == corvalith::kOk) {
        FUZZ_CHECK(out.count == frame && out.interval == interval);
        FUZZ_CHECK(out.re && out.im && out.power && out.amplitude);
        std::vector<double> power;
        FUZZ_CHECK(out.GetPowerSpectrum(power) && power.size() == frame);
        if (moderate) {
            for (const double value : power) FUZZ_CHECK(std::isfinite(value) && value >= 0.0);
        }
        if (filters) {
            // One output per input sample: the pipeline's filters do not decimate.
            FUZZ_CHECK(record.count == count && record.samples != nullptr);
        }
    } else if (rc != corvalith::kOutOfMemory) {
        // Only SetSpectrum changes the record, and not when it refuses its arguments.
        FUZZ_CHECK(out.count == (prefilled ? 2u : 0u));
        FUZZ_CHECK(out.power.get() == earlierPower);
    }

    if (traced) {
        const std::string trace = traceFile.Content();
        FUZZ_CHECK(trace.rfind("ProcessSingleDigit called for Digit 0 Count\n", 0) == 0);
        FUZZ_CHECK(trace.back() == '\n');
    }
    return 0;
}
