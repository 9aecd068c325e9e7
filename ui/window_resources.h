// The images compiled into the program (res/corvix.qrc, drawn by
// scripts/make_images.py): res::kApplicationIcon, res::kLogoBitmap (100 x 100)
// and res::kBackgroundBitmap (1024 x 1024). A missing image gives a null result.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace corvalith {

[[nodiscard]] QIcon LoadApplicationIcon();
[[nodiscard]] QPixmap LoadLogoBitmap();
[[nodiscard]] QPixmap LoadBackgroundBitmap();

}  // namespace corvalith
