// The luminance is 0.2126 R + 0.7152 G + 0.0722 B over the linear channels;
// a channel c of 0…1 is c / 12.92 up to 0.04045, else ((c + 0.055) / 1.055)^2.4.
#include "ui/analysis/contrast.h"

#include <algorithm>
#include <cmath>

namespace corvalith {
namespace {

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableText(const QColor& background) {
    const QColor black(Qt::black), white(Qt::white);
    return ContrastRatio(background, black) >= ContrastRatio(background, white) ? black : white;
}

}  // namespace corvalith
