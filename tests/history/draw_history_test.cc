// LoadDrawHistory on files made from in-memory bytes: what it accepts, what
// it refuses, and that a refusal leaves the caller's records untouched.
#include "history/draw_history.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "dsp/status.h"
#include "dsp/wa_data.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::TempDir;
using testing::ToCp932;

struct Loaded {
    int status = 0;
    std::array<std::vector<double>, 4> digits;  // thousands .. ones
    std::uint32_t count = 0;
    std::uint32_t rate = 0;
};

Loaded LoadPath(const std::string& path) {
    std::array<ScopedWAData, 4> records;
    Loaded loaded;
    loaded.status = LoadDrawHistory(path, records[0].get(), records[1].get(), records[2].get(),
                                    records[3].get());
    for (std::size_t p = 0; p < 4; ++p) {
        const WAData& r = records[p].get();
        if (r.samples != nullptr) loaded.digits[p].assign(r.samples, r.samples + r.count);
    }
    loaded.count = records[0].get().count;
    loaded.rate = records[0].get().rate;
    return loaded;
}

Loaded LoadBytes(const std::string& bytes) {
    TempDir dir;
    return LoadPath(dir.Write("history.csv", bytes));
}

// Each draw as its four position values.
std::vector<std::array<double, 4>> Draws(const Loaded& loaded) {
    std::vector<std::array<double, 4>> draws(loaded.count);
    for (std::uint32_t i = 0; i < loaded.count; ++i) {
        for (std::size_t p = 0; p < 4; ++p) draws[i][p] = loaded.digits[p][i];
    }
    return draws;
}

struct AcceptCase {
    const char* name;
    std::string utf8;  // file content before encoding to CP932
    std::vector<std::array<double, 4>> draws;
};

TEST(LoadDrawHistory, AcceptsEveryWellFormedLine) {
    const std::vector<AcceptCase> cases = {
        {"example",
         "f1,f2,f3,f4,f5\n第101回,2001/5/7,a,0487,b\n第102回,2001/5/8,a,91,b\n",
         {{0, 4, 8, 7}, {0, 0, 9, 1}}},
        {"quoted fields",
         "h\n\"第101回\",\"2001/5/7\",\"a\",\"0487\",\"b\"\n\"第102回\",\"2001/5/"
         "8\",\"a\",\"91\",\"b\"\n",
         {{0, 4, 8, 7}, {0, 0, 9, 1}}},
        {"header only", "h\n", {}},
        {"no final line break", "h\n第1回,2001/5/7,a,1234,b", {{1, 2, 3, 4}}},
        {"CR LF", "h\r\n第1回,2001/5/7,a,1234,b\r\n", {{1, 2, 3, 4}}},
        {"CR inside a field", "h\n第1回,2001/5/7,a,12\r34,b\n", {{1, 2, 3, 4}}},
        {"CR alone is one line", "h\r第1回,2001/5/7,a,1234,b\r", {}},
        {"short result 7", "h\n第1回,2001/5/7,a,7,b\n", {{0, 0, 0, 7}}},
        {"empty result", "h\n第1回,2001/5/7,a,,b\n", {{0, 0, 0, 0}}},
        {"long result", "h\n第1回,2001/5/7,a,12345,b\n", {{1, 2, 3, 4}}},
        {"blank in result", "h\n第1回,2001/5/7,a,12 4,b\n", {{1, 2, -16, 4}}},
        {"quoted comma", "h\n第1回,2001/5/7,\"a,b\",1234,b\n", {{1, 2, 3, 4}}},
        {"more than five fields", "h\n第1回,2001/5/7,a,1234,b,c,d\n", {{1, 2, 3, 4}}},
        {"negative draw number", "h\n第-3回,2001/5/7,a,1234,b\n", {{1, 2, 3, 4}}},
        {"blanks around the number", "h\n第 12 回,2001/5/7,a,1234,b\n", {{1, 2, 3, 4}}},
        {"text after the digits", "h\n第12号回,2001/5/7,a,1234,b\n", {{1, 2, 3, 4}}},
        {"largest draw number", "h\n第2147483647回,2001/5/7,a,1234,b\n", {{1, 2, 3, 4}}},
        {"repeated and descending numbers",
         "h\n第5回,2001/5/7,a,1111,b\n第5回,2001/5/7,a,2222,b\n第1回,2001/5/7,a,3333,b\n",
         {{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}}},
        {"no header loses the first draw",
         "第1回,2001/5/7,a,1111,b\n第2回,2001/5/7,a,2222,b\n",
         {{2, 2, 2, 2}}},
        {"two-digit month and day", "h\n第1回,2001/12/31,a,1234,b\n", {{1, 2, 3, 4}}},
        {"unvalidated calendar date", "h\n第1回,2001/99/99,a,1234,b\n", {{1, 2, 3, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Loaded loaded = LoadBytes(ToCp932(c.utf8));
        ASSERT_EQ(loaded.status, kOk);
        EXPECT_EQ(loaded.rate, 1u);
        EXPECT_EQ(Draws(loaded), c.draws);
    }
}

TEST(LoadDrawHistory, RefusesMalformedLines) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty file", ""},
        {"extra empty line at the end", "h\n第1回,2001/5/7,a,1234,b\n\n"},
        {"four fields", "h\n第1回,2001/5/7,a,0487\n"},
        {"missing 第", "h\n1回,2001/5/7,a,1234,b\n"},
        {"missing 回", "h\n第1,2001/5/7,a,1234,b\n"},
        {"only 第回", "h\n第回,2001/5/7,a,1234,b\n"},
        {"blank before 第", "h\n 第1回,2001/5/7,a,1234,b\n"},
        {"blank after 回", "h\n第1回 ,2001/5/7,a,1234,b\n"},
        {"full-width digits", "h\n第１回,2001/5/7,a,1234,b\n"},
        {"ideographic space", "h\n第\u30001回,2001/5/7,a,1234,b\n"},
        {"draw number out of range", "h\n第2147483648回,2001/5/7,a,1234,b\n"},
        {"two-digit year", "h\n第1回,01/5/7,a,1234,b\n"},
        {"dash separator", "h\n第1回,2001-5-7,a,1234,b\n"},
        {"blank around the date", "h\n第1回, 2001/5/7,a,1234,b\n"},
        {"three-digit day", "h\n第1回,2001/5/123,a,1234,b\n"},
        {"bad date in the last line",
         "h\n第1回,2001/5/7,a,1234,b\n第2回,2001/5/8,a,1234,b\n第3回,2001/5/x,a,1234,b\n"},
    };
    for (const auto& [name, utf8] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadBytes(ToCp932(utf8)).status, kHistoryUnreadable);
    }
}

TEST(LoadDrawHistory, RefusesTextThatIsNotCodePage932) {
    const std::string good = MakeHistory({"1234", "5678"});
    const std::string line = ToCp932("第3回,2001/5/7,a,1234,b\n");
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"UTF-8 file", "h\n第1回,2001/5/7,a,1234,b\n"},
        {"invalid byte in the header", "\x85\x20h\n" + line},
        {"invalid byte in the middle", good + "\xA0" + line},
        {"invalid trail byte at the end", good + line + "\x81\x7F"},
        {"lead byte cut off at the end", good + "\x81"},
        {"lead byte before a line break", good + "\x81\n" + line},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LoadBytes(bytes).status, kHistoryUnreadable);
    }
}

TEST(LoadDrawHistory, FailureLeavesTheRecordsAsTheyWere) {
    TempDir dir;
    const std::string bad =
        dir.Write("bad.csv", MakeHistory({"1234"}) + ToCp932("第2回,x,a,1,b\n"));
    std::array<WAData, 4> records;
    std::array<double*, 4> arrays;
    for (std::size_t p = 0; p < 4; ++p) {
        arrays[p] = new double[2]{1.0 * p, 2.0};
        records[p] = {arrays[p], 2, 7};
    }
    EXPECT_EQ(LoadDrawHistory(bad, records[0], records[1], records[2], records[3]),
              kHistoryUnreadable);
    for (std::size_t p = 0; p < 4; ++p) {
        EXPECT_EQ(records[p].samples, arrays[p]);
        EXPECT_EQ(records[p].count, 2u);
        EXPECT_EQ(records[p].rate, 7u);
        ReleaseSamples(records[p]);
    }
}

TEST(LoadDrawHistory, SuccessReplacesEveryRecord) {
    TempDir dir;
    const std::string good = dir.Write("good.csv", MakeHistory({"1234", "5678", "9012"}));
    std::array<WAData, 4> records;
    for (auto& r : records) r = {new double[1]{42.0}, 1, 1};
    ASSERT_EQ(LoadDrawHistory(good, records[0], records[1], records[2], records[3]), kOk);
    const double expected[4][3] = {{1, 5, 9}, {2, 6, 0}, {3, 7, 1}, {4, 8, 2}};
    for (std::size_t p = 0; p < 4; ++p) {
        ASSERT_EQ(records[p].count, 3u);
        EXPECT_EQ(records[p].rate, 1u);
        for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(records[p].samples[i], expected[p][i]);
        ReleaseSamples(records[p]);
    }
}

TEST(LoadDrawHistory, ReadsOnlyRegularFilesAndNeverBlocks) {
    TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(LoadPath(fifo).status, kHistoryUnreadable);
    EXPECT_EQ(LoadPath(dir.path()).status, kHistoryUnreadable);
    EXPECT_EQ(LoadPath("/dev/zero").status, kHistoryUnreadable);
    EXPECT_EQ(LoadPath(dir.File("missing.csv")).status, kHistoryUnreadable);
    EXPECT_EQ(LoadPath("").status, kHistoryUnreadable);
    EXPECT_EQ(LoadPath(std::string("a\0b", 3)).status, kHistoryUnreadable);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(LoadDrawHistory, LineLengthIsBounded) {
    const std::string header = "h\n";
    // A draw line just at the limit is read (its fifth field is long); one byte more is refused.
    const std::string prefix = ToCp932("第1回,2001/5/7,a,1234,");
    const std::string atLimit = prefix + std::string(kMaxLineBytes - prefix.size(), 'x');
    EXPECT_EQ(LoadBytes(header + atLimit + "\n").status, kOk);
    EXPECT_EQ(LoadBytes(header + atLimit + "x\n").status, kHistoryUnreadable);
    EXPECT_EQ(LoadBytes(header + atLimit + "x").status, kHistoryUnreadable);
    EXPECT_EQ(LoadBytes(std::string(3 * kMaxLineBytes, 'h')).status, kHistoryUnreadable);
}

TEST(LoadDrawHistory, FileSizeAndDrawCountAreBounded) {
    TempDir dir;
    const std::string three = dir.Write("three.csv", MakeHistory({"1111", "2222", "3333"}));
    const std::string four = dir.Write("four.csv", MakeHistory({"1111", "2222", "3333", "4444"}));
    const HistoryLimits limits = {kMaxLineBytes, 1000, 3};
    auto load = [&](const HistoryLimits& l, const std::string& path) {
        std::array<ScopedWAData, 4> r;
        return LoadDrawHistoryWithin(l, path, r[0].get(), r[1].get(), r[2].get(), r[3].get());
    };
    EXPECT_EQ(load(limits, three), kOk);
    EXPECT_EQ(load(limits, four), kHistoryUnreadable);
    const std::size_t size = testing::ReadFile(three).size();
    EXPECT_EQ(load({kMaxLineBytes, size, 10}, three), kOk);
    EXPECT_EQ(load({kMaxLineBytes, size - 1, 10}, three), kHistoryUnreadable);
    EXPECT_EQ(kHistoryLimits.maxLineBytes, kMaxLineBytes);
}

TEST(LoadDrawHistory, LinesAcrossReadChunksAreJoined) {
    // Two-byte characters and line breaks at every offset around the reader's read size.
    std::vector<std::string> results;
    for (int i = 0; i < 9000; ++i) results.push_back(std::to_string(1000 + i % 9000));
    const Loaded loaded = LoadBytes(MakeHistory(results));
    ASSERT_EQ(loaded.status, kOk);
    ASSERT_EQ(loaded.count, 9000u);
    for (std::uint32_t i = 0; i < loaded.count; ++i) {
        const std::string digits = results[i];
        for (std::size_t p = 0; p < 4; ++p) ASSERT_EQ(loaded.digits[p][i], digits[p] - '0');
    }
}

TEST(LoadDrawHistory, ReadsTheSampleAndTheRealHistory) {
    const Loaded sample = LoadPath(testing::SampleHistoryPath());
    ASSERT_EQ(sample.status, kOk);
    EXPECT_GE(sample.count, 6000u);
    for (const auto& position : sample.digits) {
        for (const double v : position) ASSERT_TRUE(v >= 0 && v <= 9);
    }
    const std::string real = testing::RealHistoryPath();
    if (real.empty()) GTEST_SKIP() << "real history not available";
    const Loaded loaded = LoadPath(real);
    ASSERT_EQ(loaded.status, kOk);
    EXPECT_EQ(loaded.count, 7054u);
    // 第1回 1149, 第3回 0097.
    EXPECT_EQ(Draws(loaded)[0], (std::array<double, 4>{1, 1, 4, 9}));
    EXPECT_EQ(Draws(loaded)[2], (std::array<double, 4>{0, 0, 9, 7}));
}

}  // namespace
}  // namespace corvalith
