// LoadDrawHistory on arbitrary bytes, read through a file as the window and
// the command line read it. Besides the sanitizers' checks it holds the
// reader to its contract: 0 or -5; on 0 four records of one count with rate 1
// and an array each, holding UTF-16 code units minus '0'; on -5 the records
// exactly as they were passed in.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dsp/status.h"
#include "dsp/wa_data.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "history/draw_history.h"

namespace {

using corvalith::ScopedWAData;

constexpr int kPositions = 4;

// Fills `record` with an array of its own, which the reader must either leave
// alone (on failure) or release (on success).
void Prefill(WAData& record, int position) {
    record.samples = new double[2]{100.0 + position, -1.0};
    record.count = 2;
    record.rate = 7;
}

bool IsPrefilled(const WAData& record, const double* samples, int position) {
    return record.samples == samples && record.count == 2 && record.rate == 7 &&
           record.samples[0] == 100.0 + position && record.samples[1] == -1.0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static corvalith::fuzz::MemoryFile file;
    file.Replace(data, size);

    ScopedWAData records[kPositions];
    const double* before[kPositions] = {};
    // The low bit of the first byte picks whether the records hold arrays
    // already, so that both the empty-record and the replace paths run.
    const bool prefilled = size > 0 && (data[0] & 1) != 0;
    for (int p = 0; p < kPositions; ++p) {
        if (prefilled) Prefill(records[p].get(), p);
        before[p] = records[p].get().samples;
    }

    const int rc = LoadDrawHistory(file.path(), records[0].get(), records[1].get(),
                                   records[2].get(), records[3].get());
    FUZZ_CHECK(rc == corvalith::kOk || rc == corvalith::kHistoryUnreadable);

    if (rc == corvalith::kOk) {
        const std::uint32_t count = records[0].get().count;
        for (const auto& record : records) {
            FUZZ_CHECK(record.get().count == count);
            FUZZ_CHECK(record.get().rate == 1);
            FUZZ_CHECK(record.get().samples != nullptr);
            for (std::uint32_t i = 0; i < count; ++i) {
                const double value = record.get().samples[i];
                FUZZ_CHECK(value >= -48.0 && value <= 0xFFFF - 48.0);
                FUZZ_CHECK(value == static_cast<double>(static_cast<std::int32_t>(value)));
            }
        }
        // Every draw line holds at least "第N回,yyyy/m/d,,,": no more lines than that allows.
        FUZZ_CHECK(count <= size / 16);
    } else {
        for (int p = 0; p < kPositions; ++p) {
            if (prefilled) {
                FUZZ_CHECK(IsPrefilled(records[p].get(), before[p], p));
            } else {
                FUZZ_CHECK(records[p].get().samples == nullptr && records[p].get().count == 0 &&
                           records[p].get().rate == 0);
            }
        }
    }
    return 0;
}
