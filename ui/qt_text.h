// The one crossing between the window's QString and the core's UTF-16
// strings: both hold UTF-16 code units, so nothing is converted.
#pragma once

#include <QString>
#include <string_view>

namespace corvalith {

[[nodiscard]] inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A view of `text`'s units; valid while `text` lives unchanged.
[[nodiscard]] inline std::u16string_view ToU16View(const QString& text) noexcept {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace corvalith
