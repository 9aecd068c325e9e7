// The highest-draw-number scan, the proposal after it, and the saturating
// leading-integer rule.
#include "history/draw_number.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::TempDir;
using testing::ToCp932;

std::int32_t ScanText(const std::string& utf8) {
    TempDir dir;
    return ScanHighestDrawNumber(dir.Write("h.csv", ToCp932(utf8)));
}

TEST(ScanHighestDrawNumber, TakesTheHighestNotTheLast) {
    std::string text = "h\n";
    for (int n : {5, 100, 3, 99, 1}) text += "第" + std::to_string(n) + "回,2001/5/7,a,1,b\n";
    EXPECT_EQ(ScanText(text), 100);
}

TEST(ScanHighestDrawNumber, UsesTheFirstMatchOfEachLine) {
    struct Case {
        const char* name;
        std::string line;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"plain", "第12回,x", 12},
        {"blanks inside", "第 \t12\u3000回,x", 12},
        {"sign is not a digit", "第 +7回,x", 0},
        {"text after the digits", "第12号回,x", 0},
        {"later field counts when the first does not match", "第 +7回,a,第30回,b", 30},
        {"later fields ignored when the first matches", "第3回,a,第30回,b", 3},
        {"anywhere in the line", "abc 第8回 def", 8},
        {"second 第 after a failed one", "第x第9回", 9},
        {"full-width digits do not count", "第１２回", 0},
        {"saturates at the 32-bit maximum", "第99999999999回", 2147483647},
        {"no match", "1回,2001/5/7", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScanText("header 第500回\n" + c.line + "\n"), c.expected);
    }
}

TEST(ScanHighestDrawNumber, NothingFromUnreadableFiles) {
    TempDir dir;
    EXPECT_EQ(ScanHighestDrawNumber(dir.File("missing")), 0);
    EXPECT_EQ(ScanHighestDrawNumber(dir.path()), 0);
    EXPECT_EQ(ScanHighestDrawNumber("/dev/zero"), 0);
    EXPECT_EQ(ScanText("h\n"), 0);
    // A decoding failure ends the scan where it happens; earlier lines stand.
    const std::string bytes = ToCp932("h\n第7回,x\n") + "\xA0\n" + ToCp932("第9回,x\n");
    EXPECT_EQ(ScanHighestDrawNumber(dir.Write("bad.csv", bytes)), 7);
}

TEST(ScanHighestDrawNumber, RealHistoryEndsAt7054) {
    const std::string real = testing::RealHistoryPath();
    if (real.empty()) GTEST_SKIP() << "real history not available";
    EXPECT_EQ(ScanHighestDrawNumber(real), 7054);
}

TEST(NextDrawNumber, OneAboveTheHighestWithoutOverflow) {
    EXPECT_EQ(NextDrawNumber(100), 101);
    EXPECT_EQ(NextDrawNumber(9999), 10000);
    EXPECT_EQ(NextDrawNumber(std::numeric_limits<std::int32_t>::max()), 2147483648LL);
    EXPECT_FALSE(NextDrawNumber(0));
    EXPECT_FALSE(NextDrawNumber(-5));
}

TEST(LeadingInt, TakesLeadingDigitsAndSaturates) {
    EXPECT_EQ(LeadingInt(u""), 0);
    EXPECT_EQ(LeadingInt(u"15"), 15);
    EXPECT_EQ(LeadingInt(u"  42abc"), 42);
    EXPECT_EQ(LeadingInt(u"-8"), -8);
    EXPECT_EQ(LeadingInt(u"abc"), 0);
    EXPECT_EQ(LeadingInt(u"1,000"), 1);
    EXPECT_EQ(LeadingInt(u"2147483648"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(LeadingInt(u"-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(LeadingInt(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace corvalith
