// ReadSource on arbitrary bytes, as a download or a paste could bring them:
// recognition of the form (history, CSV/TSV with Japanese or English
// columns and payouts, JSON, pasted lines) and its parsing. Besides the
// sanitizers' checks it holds the reader to its contract: on success every
// draw it appended has a draw number above 0, a calendar date, four ASCII
// digits, payouts that are none or 0 … 99,999,999 and a line within the
// source; on failure an error that names the source; never more draws than
// the source has lines, except a JSON source's draws, each at least `{}` long.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/import_sources.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using corvalith::SourceDraw;
    const corvalith::ImportSource source{"src",
                                         std::string(reinterpret_cast<const char*>(data), size)};
    constexpr std::uint32_t kFirstLine = 7;  // as if one source of seven lines came before
    std::vector<SourceDraw> draws;
    corvalith::SourceForm form{};
    std::u16string error;
    const bool read = corvalith::ReadSource(source, kFirstLine, draws, form, error);
    if (!read) {
        FUZZ_CHECK(error.rfind(u"src", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(error.empty());
    std::size_t lines = 1;
    for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n' ? 1 : 0;
    FUZZ_CHECK(form == corvalith::SourceForm::Json ? draws.size() <= size / 2 + 1
                                                   : draws.size() <= lines);
    for (const SourceDraw& draw : draws) {
        FUZZ_CHECK(draw.number >= 1);
        const corvalith::CalendarDate date = corvalith::DateOfKey(draw.dateKey);
        FUZZ_CHECK(date.year >= 1000 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
                   date.day <= 31);
        for (const char digit : draw.result) FUZZ_CHECK(digit >= '0' && digit <= '9');
        for (const std::int32_t payout : draw.payouts) {
            FUZZ_CHECK(payout == SourceDraw::kNoPayout ||
                       (payout >= 0 && payout <= corvalith::kMaxPayoutYen));
        }
        FUZZ_CHECK(draw.line > kFirstLine && draw.line <= kFirstLine + lines);
    }
    return 0;
}
