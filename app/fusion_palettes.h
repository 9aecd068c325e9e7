// Qt's Fusion palette as it comes, and the dark variant a dark desktop theme
// gives it (dark window, base and buttons, white text): what the screenshots
// and the readability tests draw the windows in.
#pragma once

#include <QPalette>

namespace corvalith {

[[nodiscard]] QPalette LightFusionPalette();
[[nodiscard]] QPalette DarkFusionPalette();

}  // namespace corvalith
