// The CP932 table is the Windows one, and invalid input is reported.
#include "text/cp932.h"

#include <gtest/gtest.h>

#include <string>

#include "text/utf8.h"

namespace corvalith {
namespace {

TEST(Cp932Decoder, UsesTheWindowsTable) {
    Cp932Decoder decoder;
    std::u16string out;
    ASSERT_TRUE(decoder.Decode("\x5C\x7E\x81\x60\x87\x40\xED\x40\x91\xE6\x89\xF1", out));
    EXPECT_EQ(out, u"\\~\uFF5E\u2460\u7E8A第回");  // backslash, tilde, wave dash, NEC and IBM rows
}

TEST(Cp932Decoder, ReportsInvalidAndCutOffBytes) {
    Cp932Decoder decoder;
    std::u16string out;
    EXPECT_FALSE(decoder.Decode("ab\xA0", out));
    out.clear();
    EXPECT_FALSE(decoder.Decode("ab\x81", out));
    EXPECT_EQ(out, u"ab");
    out.clear();
    EXPECT_TRUE(decoder.Decode("ok", out));  // state is fresh after a failure
    EXPECT_EQ(out, u"ok");
}

TEST(Cp932Decoder, LossyDecodingReplacesBadBytes) {
    EXPECT_EQ(DecodeCp932Lossy("a\xA0\x91\xE6"), u"a\uFFFD第");
    EXPECT_EQ(DecodeCp932Lossy("\x81"), u"\uFFFD");
}

TEST(Utf16ToUtf8, EncodesAllPlanes) {
    EXPECT_EQ(Utf16ToUtf8(u"a第\U0001F600"), "a\xE7\xAC\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace corvalith
