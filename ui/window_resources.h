// The images compiled into the program (res/corvix.qrc, drawn by
// scripts/make_images.py): icon 128, the 100 x 100 logo (bitmap 135) and the
// 1024 x 1024 background (bitmap 136). A missing image gives a null result.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace corvalith {

[[nodiscard]] QIcon LoadApplicationIcon();
[[nodiscard]] QPixmap LoadLogoBitmap();
[[nodiscard]] QPixmap LoadBackgroundBitmap();

}  // namespace corvalith
