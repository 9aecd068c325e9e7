// The pace so far: what is left takes as long per share as what is done did.
#include "ui/analysis/run_estimate.h"

namespace corvalith {

std::optional<std::int64_t> RemainingSeconds(std::int64_t elapsedMs, std::int64_t done,
                                             std::int64_t total) noexcept {
    if (elapsedMs < 1000 || total <= 0 || done >= total || done * 50 < total) return std::nullopt;
    const double leftMs = double(elapsedMs) * double(total - done) / double(done);
    return static_cast<std::int64_t>((leftMs + 999.0) / 1000.0);
}

std::string RemainingText(std::int64_t seconds) {
    if (seconds <= 120) return "残り約 " + std::to_string(seconds) + " 秒";
    return "残り約 " + std::to_string((seconds + 30) / 60) + " 分";
}

}  // namespace corvalith
