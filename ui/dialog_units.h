// Dialog units: the template's coordinates, a quarter of the dialog font's
// average character width across and an eighth of its height down. Layout
// converts them to pixels the way the dialog manager does, rounding each
// corner of a control separately.
#pragma once

#include <QRect>

class QFont;

namespace corvalith {

// The dialog font's base units in pixels.
struct DialogBaseUnits {
    int x = 0;  // average width of the Latin letters
    int y = 0;  // character cell height
};

// a * b / c rounded half away from zero, in 64 bits; -1 when c is 0.
[[nodiscard]] int MulDiv(int a, int b, int c) noexcept;

// Base units of `font`: x = (width of "A..Za..z" / 26 + 1) / 2, y = cell height.
[[nodiscard]] DialogBaseUnits BaseUnitsOf(const QFont& font);

// The pixel rectangle of a control at (x, y) of size w x h dialog units.
[[nodiscard]] QRect DialogRect(const DialogBaseUnits& base, int x, int y, int w, int h) noexcept;

}  // namespace corvalith
