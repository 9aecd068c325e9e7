// Width by code point ranges, the subset of East Asian Width that the
// reports and file names are likely to hold; invalid bytes count one column.
#include "cli/text_columns.h"

#include <algorithm>
#include <utility>

namespace corvalith {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

constexpr Range kZeroWidth[] = {
    {0x0300, 0x036F}, {0x200B, 0x200F}, {0x20D0, 0x20FF}, {0x3099, 0x309A}, {0xFE00, 0xFE0F},
};

bool In(const Range* begin, const Range* end, char32_t c) {
    return std::any_of(begin, end, [c](const Range& r) { return c >= r.first && c <= r.last; });
}

std::size_t Width(char32_t c) {
    if (In(std::begin(kZeroWidth), std::end(kZeroWidth), c)) return 0;
    return In(std::begin(kWide), std::end(kWide), c) ? 2 : 1;
}

}  // namespace

std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80       ? 1
                                   : lead >> 5 == 6  ? 2
                                   : lead >> 4 == 14 ? 3
                                   : lead >> 3 == 30 ? 4
                                                     : 0;
        if (length == 0 || i + length > utf8.size()) {
            ++width;  // not a lead byte, or cut short
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = true;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if (next >> 6 != 2) valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            ++width;
            ++i;
            continue;
        }
        width += Width(c);
        i += length;
    }
    return width;
}

std::string Pad(std::string_view text, std::size_t width, Align align) {
    const std::size_t shown = DisplayWidth(text);
    if (shown >= width) return std::string(text);
    const std::string fill(width - shown, ' ');
    return align == Align::Left ? std::string(text) + fill : fill + std::string(text);
}

TextTable::TextTable(std::vector<Align> aligns) : aligns_(std::move(aligns)) {}

void TextTable::AddRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }

std::string TextTable::Render() const {
    std::vector<std::size_t> widths(aligns_.size(), 0);
    for (const auto& row : rows_) {
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(row[c]));
        }
    }
    std::string text;
    for (const auto& row : rows_) {
        std::string line;
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) {
            if (c != 0) line += "  ";
            line += Pad(row[c], widths[c], aligns_[c]);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        text += line + '\n';
    }
    return text;
}

}  // namespace corvalith
