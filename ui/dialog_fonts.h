// The fonts of the window: the dialog font "MS UI Gothic" 9 pt (mapped to an
// installed Japanese UI font), the bold 14-point date line and the result
// area's font of a given character-cell height.
#pragma once

#include <QFont>

namespace corvalith {

// Face name the dialogs ask for.
inline constexpr char kDialogFace[] = "MS UI Gothic";

// Maps "MS UI Gothic" to the installed Japanese UI fonts, closest metrics
// first, so that no text falls back glyph by glyph. Safe to call often.
void InstallFontSubstitutes();

// "MS UI Gothic" 9 pt.
[[nodiscard]] QFont DialogFont();

// "MS UI Gothic" bold with an em height of 14 points at `dpiY` dots per inch.
[[nodiscard]] QFont DateLineFont(int dpiY);

// `font` with its pixel size chosen so that its character cell (ascent +
// descent) is `cellHeight` pixels, or the largest size below that; every
// other attribute is kept.
[[nodiscard]] QFont WithCellHeight(const QFont& font, int cellHeight);

}  // namespace corvalith
