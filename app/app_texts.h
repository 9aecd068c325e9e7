// Texts of the application shell: the second-instance warning and the About box.
#pragma once

#include <string_view>

#include "corvalith/version.h"

namespace corvalith {

// Name of the per-user single-instance lock.
inline constexpr char kInstanceLockName[] = "PendulaAppMutex";

inline constexpr std::u16string_view kMsgAlreadyRunning =
    u"このアプリケーションは既に起動しています。";
inline constexpr std::u16string_view kCaptionAlreadyRunning = u"二重起動防止";

inline constexpr std::u16string_view kAboutCaption = u"CORVALITH";
// The version comes from the project version (corvalith/version.h).
inline constexpr std::u16string_view kAboutVersion = u"CORVALITH、バージョン " CORVALITH_VERSION;
inline constexpr std::u16string_view kAboutSecondLine = u"四桁数字くじの次回予想ツール";

}  // namespace corvalith
