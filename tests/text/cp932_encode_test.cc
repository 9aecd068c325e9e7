// The encoder against glibc's iconv "CP932" converter over every UTF-16 unit
// outside the surrogates: the same bytes for every character that round-trips,
// and no form for the others. The characters
// the history writer emits are checked by name as well, so that a table that
// lost them fails even where iconv is missing.
#include "text/cp932_encode.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <bit>
#include <optional>
#include <string>

#include "text/cp932.h"

namespace corvalith {
namespace {

class IconvEncoder {
  public:
    IconvEncoder()
        : cd_(iconv_open("CP932",
                         std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE")) {}
    ~IconvEncoder() {
        if (ok()) iconv_close(cd_);
    }
    IconvEncoder(const IconvEncoder&) = delete;
    IconvEncoder& operator=(const IconvEncoder&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Encode(char16_t unit) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = reinterpret_cast<char*>(&unit);
        std::size_t inLeft = sizeof unit;
        char bytes[8] = {};
        char* out = bytes;
        std::size_t outLeft = sizeof bytes;
        if (iconv(cd_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
            return std::nullopt;
        }
        return std::string(bytes, sizeof bytes - outLeft);
    }

  private:
    iconv_t cd_;
};

TEST(Cp932Encode, EveryUnitAsIconvEncodesIt) {
    IconvEncoder iconv;
    if (!iconv.ok()) GTEST_SKIP() << "iconv has no CP932 converter";
    int differences = 0;
    for (unsigned u = 0; u <= 0xFFFF && differences < 10; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        const char16_t unit = static_cast<char16_t>(u);
        std::string ours;
        const bool encoded = EncodeCp932(std::u16string_view(&unit, 1), ours);
        const std::optional<std::string> reference = iconv.Encode(unit);
        // iconv also has one-way fallbacks (U+00A5 and the like) that decode
        // to another character; the writer needs only the round-trip forms.
        std::u16string back;
        const bool roundTrip =
            reference && Cp932Decoder().Decode(*reference, back) && back == std::u16string(1, unit);
        if (!roundTrip && !encoded) continue;
        if (encoded != roundTrip || ours != *reference) {
            ADD_FAILURE() << "U+" << std::hex << u;
            ++differences;
        }
    }
}

TEST(Cp932Encode, TheWritersCharactersRoundTrip) {
    const std::u16string text =
        u"回号,抽せん日,曜日,当せん番号,備考\r\n\"第7055回\",2026/08/24,月火水木金土日,0123,-";
    std::string bytes;
    ASSERT_TRUE(EncodeCp932(text, bytes));
    std::u16string back;
    ASSERT_TRUE(Cp932Decoder().Decode(bytes, back));
    EXPECT_EQ(back, text);
}

TEST(Cp932Encode, NoFormLeavesTheOutputAsItWas) {
    std::string bytes = "kept";
    EXPECT_FALSE(EncodeCp932(u"a\u00E9b", bytes));  // é has no code page 932 form
    EXPECT_EQ(bytes, "kept");
}

}  // namespace
}  // namespace corvalith
