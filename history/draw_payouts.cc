// The payout fields are read with the forecast reader's limits and line
// rules, so that a file that loads for the forecast reads here the same way
// and only the fields past the fifth decide.
#include "history/draw_payouts.h"

#include <new>
#include <utility>

#include "dsp/status.h"
#include "history/draw_fields.h"
#include "history/draw_history.h"
#include "history/line_reader.h"

namespace corvalith {
namespace {

constexpr std::size_t kMaxPayoutDigits = 8;  // 99,999,999

}  // namespace

bool DrawPayouts::Any() const noexcept {
    for (const std::optional<std::int64_t>& amount : amounts) {
        if (amount) return true;
    }
    return false;
}

bool ParsePayoutField(std::u16string_view field, std::optional<std::int64_t>& amount) noexcept {
    if (field.empty()) {
        amount.reset();
        return true;
    }
    if (field.size() > kMaxPayoutDigits) return false;
    std::int64_t value = 0;
    for (const char16_t c : field) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c - u'0');
    }
    amount = value;
    return true;
}

bool ReadPayoutFields(const DrawFields& fields, DrawPayouts& payouts,
                      std::size_t& badField) noexcept {
    payouts = {};
    for (std::size_t k = 0; k < kPayoutKindCount; ++k) {
        const std::size_t index = kFirstPayoutField + k;
        if (index >= fields.size()) break;
        if (!ParsePayoutField(fields[index], payouts.amounts[k])) {
            badField = index;
            return false;
        }
    }
    return true;
}

int LoadDrawPayouts(const std::string& path, std::vector<DrawPayouts>& payouts,
                    PayoutProblem* problem) noexcept {
    try {
        HistoryLineReader reader(kHistoryLimits.maxLineBytes, kHistoryLimits.maxFileBytes);
        if (!reader.Open(path)) return kHistoryUnreadable;
        std::u16string line;
        if (reader.Next(line) != LineStatus::Line) return kHistoryUnreadable;
        std::vector<DrawPayouts> read;
        DrawFields fields;
        for (std::size_t lineNumber = 2;; ++lineNumber) {
            const LineStatus status = reader.Next(line);
            if (status == LineStatus::End) break;
            if (status == LineStatus::Error) return kHistoryUnreadable;
            if (read.size() >= kHistoryLimits.maxDraws) return kHistoryUnreadable;
            fields.Split(line);
            if (fields.size() < kDrawLineFields) return kHistoryUnreadable;
            DrawPayouts draw;
            std::size_t badField = 0;
            if (!ReadPayoutFields(fields, draw, badField)) {
                if (problem != nullptr) {
                    *problem = {lineNumber, badField + 1, std::u16string(fields[badField])};
                }
                return kHistoryUnreadable;
            }
            read.push_back(draw);
        }
        payouts = std::move(read);
        return kOk;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    } catch (...) {
        return kHistoryUnreadable;
    }
}

}  // namespace corvalith
