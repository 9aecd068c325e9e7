// ScanHighestDrawNumber on arbitrary bytes, read through a file. The scan
// never fails: it answers a number of at least 0, the same one every time,
// and proposes a next draw number only above 0.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_check.h"
#include "fuzz/memory_file.h"
#include "history/draw_number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static corvalith::fuzz::MemoryFile file;
    file.Replace(data, size);

    const std::int32_t highest = corvalith::ScanHighestDrawNumber(file.path());
    FUZZ_CHECK(highest >= 0);
    FUZZ_CHECK(corvalith::ScanHighestDrawNumber(file.path()) == highest);

    const auto next = corvalith::NextDrawNumber(highest);
    FUZZ_CHECK(next.has_value() == (highest > 0));
    if (next) FUZZ_CHECK(*next == std::int64_t{highest} + 1);
    return 0;
}
