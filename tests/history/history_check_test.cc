// The diagnosis agrees with the reader on a table of good and broken files:
// every file the reader refuses is diagnosed with the expected line, field
// and reason first; every file it loads is diagnosed as loading.
#include "history/history_check.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "dsp/status.h"
#include "dsp/wa_data.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

using testing::TempDir;
using testing::ToCp932;

constexpr const char* kHeader = "回別,抽せん日,曜日,当せん番号,備考\n";
constexpr HistoryLimits kSmall = {64, 400, 3};  // line, file and draw limits for the tests

struct FileCase {
    const char* name;
    std::string bytes;
    bool loads;          // what LoadDrawHistory says
    std::size_t line;    // the first problem's line (0: the whole file)
    std::size_t field;   // and field (0: the line)
    const char* reason;  // the start of its reason (nullptr: no problem at all)
};

std::string Cp(const std::string& utf8) { return ToCp932(utf8); }
std::string Draws(const std::string& lines) { return Cp(std::string(kHeader) + lines); }

std::vector<FileCase> Cases() {
    const std::string good = "第1回,2024/1/5,金,1234,-\n第2回,2024/1/8,月,5678,-\n";
    return {
        {"good", Draws(good), true, 0, 0, nullptr},
        {"header only", Cp(kHeader), true, 0, 0, nullptr},
        {"CR LF", Draws("第1回,2024/1/5,金,1234,-\r\n"), true, 0, 0, nullptr},
        {"payouts", Draws("第1回,2024/1/5,金,1234,-,900000,,15000,\n"), true, 0, 0, nullptr},
        {"dashed date", Draws(good + "第3回,2024-1-9,火,1,-\n"), false, 4, 2,
         "2 列目の抽せん日が YYYY/M/D の形ではありません"},
        {"year below 1000", Draws("第1回,999/1/5,金,1234,-\n"), false, 2, 2, "2 列目の抽せん日"},
        {"blank line inside", Draws("第1回,2024/1/5,金,1234,-\n\n第2回,2024/1/8,月,5678,-\n"),
         false, 3, 0, "空の行"},
        {"blank line at the end", Draws(good + "\r\n"), false, 4, 0, "空の行"},
        {"too few fields", Draws("第1回,2024/1/5,金,1234\n"), false, 2, 0, "列が足りません（4 列"},
        {"bad draw number", Draws("第x回,2024/1/5,金,1234,-\n"), false, 2, 1,
         "1 列目の回号が 第N回 の形ではありません"},
        {"draw number beyond 32 bits", Draws("第99999999999回,2024/1/5,金,1234,-\n"), false, 2, 1,
         "1 列目の回号"},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF" + Draws(good), false, 1, 0,
         "先頭に UTF-8 のバイト順マーク"},
        {"whole file in UTF-8", std::string(kHeader) + good, false, 0, 0,
         "UTF-8 で保存されています（コードページ 932 ではありません）"},
        {"UTF-16", testing::ToUtf16(std::string(kHeader) + good, false, true), false, 1, 0,
         "先頭に UTF-16 のバイト順マーク"},
        {"invalid code page 932", Draws("第1回,2024/1/5,金,1234,-\n") + "\x82,\n", false, 3, 0,
         "コードページ 932 として読めないバイトがあります（1 バイト目、0x82）"},
        {"empty file", "", false, 0, 0, "ファイルが空です"},
    };
}

// Cases under kSmall.
std::vector<FileCase> LimitCases() {
    std::string many = kHeader;
    for (int i = 0; i < 30; ++i) many += "第" + std::to_string(i + 1) + "回,2024/1/5,金,1234,-\n";
    return {
        {"within the limits", Draws("第1回,2024/1/5,金,1234,-\n"), true, 0, 0, nullptr},
        {"line too long", Draws("第1回,2024/1/5,金,1234," + std::string(60, 'x') + "\n"), false, 2,
         0, "行が長すぎます"},
        {"too many draws",
         Draws("第1回,1/5,金,1,-\n第2回,2024/1/5,金,1,-\n第3回,2024/1/5,金,1,-\n"
               "第4回,2024/1/5,金,1,-\n"),
         false, 2, 2, "2 列目"},
        {"the fourth draw over the limit",
         Draws("第1回,2024/1/5,金,1,-\n第2回,2024/1/5,金,1,-\n第3回,2024/1/5,金,1,-\n"
               "第4回,2024/1/5,金,1,-\n"),
         false, 5, 0, "抽せんの行が上限（3 回）を超えています"},
        {"over the size limit", Cp(many), false, 0, 0, "ファイルが大きすぎます"},
    };
}

void ExpectAgreement(const FileCase& c, const HistoryLimits& limits) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.Write("h.csv", c.bytes);
    std::array<ScopedWAData, 4> series;
    const int loaded = LoadDrawHistoryWithin(limits, path, series[0].get(), series[1].get(),
                                             series[2].get(), series[3].get());
    EXPECT_EQ(loaded == kOk, c.loads);
    const HistoryDiagnosis diagnosis = DiagnoseHistory(path, limits);
    EXPECT_EQ(diagnosis.Loads(), c.loads);
    if (c.reason == nullptr) {
        EXPECT_TRUE(diagnosis.Clean()) << Utf16ToUtf8(ProblemLines(diagnosis));
        return;
    }
    ASSERT_TRUE(diagnosis.refusal.has_value());
    EXPECT_EQ(diagnosis.refusal->line, c.line);
    EXPECT_EQ(diagnosis.refusal->field, c.field);
    EXPECT_EQ(Utf16ToUtf8(diagnosis.refusal->reason).rfind(c.reason, 0), 0u)
        << Utf16ToUtf8(diagnosis.refusal->reason);
    EXPECT_EQ(ProblemLine(diagnosis.problems.front()), ProblemLine(*diagnosis.refusal));
}

TEST(DiagnoseHistory, AgreesWithTheReaderOnEveryFileOfTheTable) {
    for (const FileCase& c : Cases()) ExpectAgreement(c, kHistoryLimits);
    for (const FileCase& c : LimitCases()) ExpectAgreement(c, kSmall);
}

TEST(DiagnoseHistory, NamesABadPayoutFieldThatTheReaderPassesOver) {
    TempDir dir;
    const std::string path = dir.Write("h.csv", Draws("第1回,2024/1/5,金,1234,-,900000,12a\n"));
    const HistoryDiagnosis diagnosis = DiagnoseHistory(path);
    EXPECT_TRUE(diagnosis.Loads());
    ASSERT_EQ(diagnosis.problems.size(), 1u);
    EXPECT_TRUE(diagnosis.problems[0].payout);
    EXPECT_EQ(Utf16ToUtf8(ProblemLine(diagnosis.problems[0])),
              "2 行目: 7 列目のボックスの払戻金が 0～99,999,999 の整数ではありません（「12a」）");
}

TEST(DiagnoseHistory, ListsTwentyProblemsAndCountsTheOthers) {
    std::string lines;
    for (int i = 0; i < 25; ++i) lines += "第" + std::to_string(i + 1) + "回,2024/1/5\n";
    TempDir dir;
    const HistoryDiagnosis diagnosis = DiagnoseHistory(dir.Write("h.csv", Draws(lines)));
    EXPECT_EQ(diagnosis.problems.size(), kMaxListedProblems);
    EXPECT_EQ(diagnosis.problemCount, 25u);
    EXPECT_EQ(diagnosis.problems.back().line, 21u);
    const std::string text = Utf16ToUtf8(ProblemLines(diagnosis));
    EXPECT_NE(text.find("\nほか 5 件の問題があります\n"), std::string::npos) << text;
}

TEST(DiagnoseHistory, SaysWhenThePathIsNoRegularFile) {
    TempDir dir;
    const HistoryDiagnosis diagnosis = DiagnoseHistory(dir.path());
    ASSERT_TRUE(diagnosis.refusal.has_value());
    EXPECT_EQ(Utf16ToUtf8(diagnosis.refusal->reason), "通常のファイルではありません");
}

}  // namespace
}  // namespace corvalith
