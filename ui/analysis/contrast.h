// How well text reads on a background: the relative luminance of a colour
// and the contrast ratio of two (WCAG 2's definitions), and the text colour
// to put on a cell's background.
#pragma once

#include <QColor>

namespace corvalith {

// The smallest ratio at which normal-size text counts as readable.
inline constexpr double kReadableContrast = 4.5;

// 0 for black to 1 for white: the sRGB channels linearised and weighted by
// how bright each looks.
[[nodiscard]] double RelativeLuminance(const QColor& colour);

// (lighter + 0.05) / (darker + 0.05), from 1 (the same) to 21 (black on white).
[[nodiscard]] double ContrastRatio(const QColor& a, const QColor& b);

// Black or white, whichever contrasts more with `background`; on any colour
// the better of the two reaches at least √21 ≈ 4.58.
[[nodiscard]] QColor ReadableText(const QColor& background);

}  // namespace corvalith
