// The encoding table is the decoding table turned round, made once on first
// use. Of two sequences for one character the lower is kept, except that the
// NEC-selected IBM rows (lead bytes 0xED, 0xEE) yield to any other: the choice
// iconv's converter makes, which the tests hold the table to.
#include "text/cp932_encode.h"

#include <array>
#include <cstdint>
#include <memory>

#include "text/cp932_table.h"

namespace corvalith {
namespace {

constexpr std::uint16_t kNone = 0;  // no form (U+0000 itself is the byte 0x00)

bool IsNecSelectedIbmRow(unsigned lead) noexcept { return lead == 0xED || lead == 0xEE; }

using EncodeTable = std::array<std::uint16_t, 0x10000>;

std::unique_ptr<EncodeTable> BuildTable() {
    auto table = std::make_unique<EncodeTable>();
    table->fill(kNone);
    for (unsigned b = 0x80; b < 256; ++b) {
        const char16_t unit = cp932::kSingle[b];
        if (unit != cp932::kInvalid && unit != cp932::kLeadByte && (*table)[unit] == kNone) {
            (*table)[unit] = static_cast<std::uint16_t>(b);
        }
    }
    for (unsigned lead = 0x80; lead < 256; ++lead) {
        if (cp932::kSingle[lead] != cp932::kLeadByte) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char16_t unit = cp932::kPairs[cp932::kLeadRow[lead] * 256u + trail];
            if (unit == cp932::kInvalid) continue;
            std::uint16_t& slot = (*table)[unit];
            const bool taken = slot != kNone;
            if (taken && !IsNecSelectedIbmRow(slot >> 8)) continue;
            if (taken && IsNecSelectedIbmRow(lead)) continue;
            slot = static_cast<std::uint16_t>(lead << 8 | trail);
        }
    }
    return table;
}

const EncodeTable& Table() {
    static const std::unique_ptr<EncodeTable> table = BuildTable();
    return *table;
}

}  // namespace

bool EncodeCp932(std::u16string_view text, std::string& out) {
    const std::size_t start = out.size();
    const EncodeTable* table = nullptr;
    for (const char16_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (table == nullptr) table = &Table();
        const std::uint16_t code = (*table)[c];
        if (code == kNone) {
            out.resize(start);
            return false;
        }
        if (code > 0xFF) out.push_back(static_cast<char>(code >> 8));
        out.push_back(static_cast<char>(code & 0xFF));
    }
    return true;
}

}  // namespace corvalith
