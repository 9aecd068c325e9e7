// Columns for a terminal: the display width of UTF-8 text (East Asian wide
// and full-width characters take two columns) and a table that pads its
// cells to line up.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalith {

// Terminal columns of `utf8`: two for wide and full-width characters (CJK,
// kana, full-width forms), none for combining marks, one for the rest.
[[nodiscard]] std::size_t DisplayWidth(std::string_view utf8);

enum class Align { Left, Right };

// A cell of a table that the text report and the window both show: its text
// and, for a figure, the value it sorts by.
struct TableCell {
    std::string text;
    std::optional<double> value;
};
using TableRow = std::vector<TableCell>;

// `text` padded with spaces to `width` columns (unchanged when wider).
[[nodiscard]] std::string Pad(std::string_view text, std::size_t width, Align align);

// Rows of cells; every column as wide as its widest cell, columns two
// spaces apart, no trailing spaces.
class TextTable {
  public:
    explicit TextTable(std::vector<Align> aligns);
    void AddRow(std::vector<std::string> cells);
    [[nodiscard]] std::string Render() const;

  private:
    std::vector<Align> aligns_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace corvalith
