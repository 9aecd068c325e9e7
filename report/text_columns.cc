// Display width of UTF-8 text by the C library's width table; invalid bytes
// count one column.
#include "report/text_columns.h"

#include <locale.h>
#include <wchar.h>

#include <algorithm>
#include <utility>

namespace corvalith {
namespace {

// The C library's width table (Unicode's East Asian Width; combining marks
// take no column), read under C.UTF-8 whatever locale the user runs in. The
// locale is set for this thread only, for the one call.
std::size_t Width(char32_t c) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8 == static_cast<locale_t>(0)) return 1;  // no table: alignment only suffers
    const locale_t previous = uselocale(utf8);
    const int width = wcwidth(static_cast<wchar_t>(c));
    uselocale(previous);
    return width < 0 ? 1 : static_cast<std::size_t>(width);  // controls and unassigned: one
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
