// PredictDigit and PredictPowerSpectrumDigit with an arbitrary series (any
// doubles, or digit-like values), interval, placement flag and filter kind.
// Input layout (the series of series_input.h follows it):
//   u8  options: bit 0 the predictor without filter, bit 1 a trace file,
//       bit 2 a record that already holds a spectrum, bit 3 compare the
//       predictor without filter with the filtering one on filter kind 2
//   placement flag and filter kind selectors (series_input.h)
//   u8  interval: below 0x80 one of the window's intervals, below 0xF0 the
//       byte minus 0x80 (0 .. 111), else a u32 follows
// Besides the sanitizers' checks, each answer is held to the predictors'
// contract: "Error" or the prefix and a permutation of the ten digits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "dsp/filter_registry.h"
#include "dsp/spectrum.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/memory_file.h"
#include "fuzz/series_input.h"
#include "predict/digit_predictor.h"
#include "predict/digit_ranking.h"

namespace {

using corvalith::fuzz::FuzzInput;
using corvalith::fuzz::FuzzSeries;

constexpr std::uint32_t kWindowIntervals[] = {10, 12, 15, 18, 20, 24, 30};
constexpr char kThousands[] = "\x90\xe7\x82\xcc\x88\xca";  // 千の位, code page 932

std::uint32_t MakeInterval(FuzzInput& input) {
    const std::uint8_t selector = input.U8();
    if (selector < 0x80) return kWindowIntervals[selector % 7];
    if (selector < 0xF0) return selector - 0x80u;
    return input.U32();
}

// "Error", or the prefix and the ten digits once each, joined by ", ".
bool IsRanking(std::string_view text) {
    constexpr std::string_view prefix = corvalith::kResultPrefix;
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    if (text.size() != 10 + 9 * 2) return false;
    std::array<bool, 10> seen{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 3 == 0) {
            if (text[i] < '0' || text[i] > '9' || seen[text[i] - '0']) return false;
            seen[text[i] - '0'] = true;
        } else if (text[i] != (i % 3 == 1 ? ',' : ' ')) {
            return false;
        }
    }
    return true;
}

bool IsPowerOfTwo(std::uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

// The parts of the record a predictor is called on that it must not change.
struct SelfState {
    explicit SelfState(const Spectrum& s)
        : count(s.count), interval(s.interval), power(s.power.get()), fftFlag(s.fftFlag) {}
    bool SameAs(const Spectrum& s, std::int32_t flag) const {
        return s.count == count && s.interval == interval && s.power.get() == power &&
               s.fftFlag == flag;
    }
    std::uint32_t count;
    std::uint32_t interval;
    const double* power;
    std::int32_t fftFlag;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static corvalith::fuzz::MemoryFile traceFile;
    FuzzInput input(data, size);
    const std::uint8_t options = input.U8();
    const bool unfiltered = (options & 1) != 0;
    const bool traced = (options & 2) != 0;
    const bool prefilled = (options & 4) != 0;
    const bool compare = (options & 8) != 0;
    const std::int32_t fftFlag = corvalith::fuzz::PlacementFlag(input);
    const std::int32_t iFType = corvalith::fuzz::FilterKind(input);
    const std::uint32_t interval = MakeInterval(input);
    const FuzzSeries series(input);
    const WAData& record = series.record();

    std::string logPath;
    if (traced) {
        traceFile.Clear();
        logPath = traceFile.path();
    }
    Spectrum self;
    if (prefilled) {
        const double re[4] = {1.0, 0.0, -1.0, 0.5};
        const double im[4] = {0.0, 2.0, 0.0, -2.0};
        FUZZ_CHECK(self.SetSpectrum(re, im, 4, 15) == 0);
        self.fftFlag = 2;
    }
    const SelfState before(self);

    const std::string result =
        unfiltered ? PredictPowerSpectrumDigit(self, record, kThousands, logPath, interval)
                   : PredictDigit(self, record, fftFlag, iFType, kThousands, logPath, interval);

    FUZZ_CHECK(result == corvalith::kResultError || IsRanking(result));
    FUZZ_CHECK(series.Unchanged());
    FUZZ_CHECK(!corvalith::detail::FilterLibraryIsOpen());

    const bool accepted = corvalith::IsValid(record) && interval != 0;
    // The predictor without filter takes its flag from the record, set to 0.
    FUZZ_CHECK(before.SameAs(self, unfiltered && accepted ? 0 : before.fftFlag));

    const std::uint32_t cycles = accepted ? record.count / interval : 0;
    if (cycles == 0) {
        FUZZ_CHECK(result == corvalith::kResultError);
    } else if (unfiltered || (fftFlag >= -1 && fftFlag <= 2) || IsPowerOfTwo(cycles)) {
        FUZZ_CHECK(result != corvalith::kResultError);
    } else {
        FUZZ_CHECK(result == corvalith::kResultError);  // undefined placement flag
    }

    if (traced) {
        const std::string trace = traceFile.Content();
        if (accepted) {
            const char* first =
                unfiltered ? "PredictPowerSpectrumDigit called for " : "PredictDigit called for ";
            FUZZ_CHECK(trace.rfind(first, 0) == 0 && trace.back() == '\n');
        } else {
            FUZZ_CHECK(trace.empty());
        }
    }

    if (compare && unfiltered) {
        // Without filter and on the head of each count series, both predictors rank alike.
        Spectrum other;
        FUZZ_CHECK(PredictDigit(other, record, 0, 2, kThousands, "", interval) == result);
    }
    return 0;
}
