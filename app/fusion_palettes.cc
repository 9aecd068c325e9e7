#include "app/fusion_palettes.h"

#include <QStyle>
#include <QStyleFactory>
#include <memory>

namespace corvalith {

QPalette LightFusionPalette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

QPalette DarkFusionPalette() {
    QPalette dark = LightFusionPalette();
    const QColor window(0x35, 0x35, 0x35), base(0x2a, 0x2a, 0x2a);
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase}) {
        dark.setColor(role, window);
    }
    dark.setColor(QPalette::Base, base);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        dark.setColor(role, Qt::white);
    }
    return dark;
}

}  // namespace corvalith
