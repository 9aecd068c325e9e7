// Dialog-unit conversion.
#include "ui/dialog_units.h"

#include <QFont>
#include <QFontMetrics>
#include <cstdint>

namespace corvalith {

int MulDiv(int a, int b, int c) noexcept {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = (c > 0 ? c : -c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = ((product < 0 ? -product : product) + half) / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width / 26 + 1) / 2, metrics.height()};
}

QRect DialogRect(const DialogBaseUnits& base, int x, int y, int w, int h) noexcept {
    const int left = MulDiv(x, base.x, 4);
    const int top = MulDiv(y, base.y, 8);
    const int right = MulDiv(x + w, base.x, 4);
    const int bottom = MulDiv(y + h, base.y, 8);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace corvalith
