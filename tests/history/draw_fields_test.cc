// The hand-written field rules against the library versions they replace
// (std::regex for the date, std::stoi for the draw number), on many inputs.
#include "history/draw_fields.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/utf8.h"

namespace corvalith {
namespace {

std::vector<std::u16string> Splits(std::u16string_view line) {
    DrawFields fields;
    fields.Split(line);
    std::vector<std::u16string> out;
    for (std::size_t i = 0; i < fields.size(); ++i) out.emplace_back(fields[i]);
    return out;
}

TEST(DrawFields, SplitsAtCommasOutsideQuotes) {
    using V = std::vector<std::u16string>;
    EXPECT_EQ(Splits(u""), V{u""});
    EXPECT_EQ(Splits(u"a,b,,c,"), (V{u"a", u"b", u"", u"c", u""}));
    EXPECT_EQ(Splits(u"\"a,b\",c"), (V{u"a,b", u"c"}));
    EXPECT_EQ(Splits(u"x\"\"y,\"z"), (V{u"xy", u"z"}));  // "" leaves nothing; an open quote runs on
    EXPECT_EQ(Splits(u"a\"b,c\"d,e"), (V{u"ab,cd", u"e"}));
    EXPECT_EQ(Splits(u" a , b "), (V{u" a ", u" b "}));
}

// Random strings over the characters that matter to the date pattern.
std::vector<std::string> DateCandidates() {
    std::vector<std::string> out = {"2001/5/7",  "2001/05/07", "2001/12/31", "01/5/7",
                                    "2001/5/",   "2001//7",    "20011/5/7",  "2001/123/7",
                                    "2001/5/7 ", " 2001/5/7",  "2001-5-7",   "",
                                    "////",      "abcd/1/2",   "2001/5/77"};
    std::uint32_t state = 12345;
    const char alphabet[] = "0123456789/ a";
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        state = state * 1664525u + 1013904223u;
        const int length = static_cast<int>(state >> 28);
        for (int k = 0; k < length; ++k) {
            state = state * 1664525u + 1013904223u;
            // Mostly digits and slashes, so that near-matches are common.
            s += alphabet[(state >> 24) % (sizeof(alphabet) - 1)];
        }
        out.push_back(s);
    }
    return out;
}

TEST(DrawFields, DateRuleMatchesTheEcmaScriptPattern) {
    const std::regex pattern(R"(\d{4}/\d{1,2}/\d{1,2})", std::regex::ECMAScript);
    for (const std::string& s : DateCandidates()) {
        const std::u16string wide(s.begin(), s.end());
        ASSERT_EQ(IsDateField(wide), std::regex_match(s, pattern)) << s;
    }
    EXPECT_FALSE(IsDateField(u"２００１/5/7"));  // full-width digits are not \d
}

std::optional<std::int32_t> StdStoi(const std::u16string& text) {
    try {
        return std::stoi(Utf16ToUtf8(text));
    } catch (const std::logic_error&) {
        return std::nullopt;
    }
}

TEST(DrawFields, NumberRuleMatchesStoi) {
    std::vector<std::u16string> inputs = {u"1",
                                          u"-3",
                                          u"+7",
                                          u" 12 ",
                                          u"\t\n\v\f\r5",
                                          u"12a",
                                          u"a12",
                                          u"",
                                          u" ",
                                          u"+",
                                          u"-",
                                          u"2147483647",
                                          u"2147483648",
                                          u"-2147483648",
                                          u"-2147483649",
                                          u"99999999999999999999",
                                          u"00000000000000000000012",
                                          u"１",
                                          u"\u30001",
                                          u"1\u3000",
                                          u"- 1",
                                          u"+-1",
                                          u"0x10"};
    std::uint32_t state = 99;
    const char16_t alphabet[] = u"0123456789 +-x\t";
    for (int i = 0; i < 20000; ++i) {
        std::u16string s;
        state = state * 1664525u + 1013904223u;
        const int length = static_cast<int>(state >> 27);
        for (int k = 0; k < length; ++k) {
            state = state * 1664525u + 1013904223u;
            s += alphabet[(state >> 24) % 15];
        }
        inputs.push_back(s);
    }
    for (const auto& text : inputs) {
        ASSERT_EQ(ParseInt32Strict(text), StdStoi(text)) << Utf16ToUtf8(text);
    }
}

TEST(DrawFields, DrawNumberFieldNeedsDaiAndKai) {
    EXPECT_TRUE(IsDrawNumberField(u"第1回"));
    EXPECT_TRUE(IsDrawNumberField(u"第 +7回"));
    EXPECT_TRUE(IsDrawNumberField(u"第12号回"));
    EXPECT_FALSE(IsDrawNumberField(u"第回"));
    EXPECT_FALSE(IsDrawNumberField(u"第1"));
    EXPECT_FALSE(IsDrawNumberField(u"1回"));
    EXPECT_FALSE(IsDrawNumberField(u"第x回"));
}

TEST(DrawFields, ResultFieldIsPaddedOrCut) {
    auto digits = [](std::u16string_view f) {
        std::vector<std::int32_t> values;
        for (const char16_t c : PadResultField(f)) values.push_back(DigitValue(c));
        return values;
    };
    using V = std::vector<std::int32_t>;
    EXPECT_EQ(digits(u""), (V{0, 0, 0, 0}));
    EXPECT_EQ(digits(u"7"), (V{0, 0, 0, 7}));
    EXPECT_EQ(digits(u"91"), (V{0, 0, 9, 1}));
    EXPECT_EQ(digits(u"487"), (V{0, 4, 8, 7}));
    EXPECT_EQ(digits(u"12345"), (V{1, 2, 3, 4}));
    EXPECT_EQ(digits(u"12 4"), (V{1, 2, -16, 4}));
    EXPECT_EQ(digits(u"ab"), (V{0, 0, 'a' - 48, 'b' - 48}));
}

}  // namespace
}  // namespace corvalith
