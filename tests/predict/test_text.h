// Predictor texts for comparisons in tests.
#pragma once

#include <string>

#include "text/cp932.h"
#include "text/utf8.h"

namespace corvalith::testing {

// A predictor result (code page 932) as UTF-8.
inline std::string ResultUtf8(const std::string& cp932) {
    return Utf16ToUtf8(DecodeCp932Lossy(cp932));
}

}  // namespace corvalith::testing
