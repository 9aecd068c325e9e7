// add, import and init through the commands: one table per source form and
// one per refusal. Every refusal leaves the history byte for byte.
#include "commands/history_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/draw_input.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::ToCp932;

// Draws 1..3 on 2026/8/19 … 2026/8/21.
const char* const kHistory =
    "回号,抽せん日,曜日,当せん番号,備考\n"
    "第1回,2026/8/19,水,1111,-\n"
    "第2回,2026/8/20,木,2222,-\n"
    "第3回,2026/8/21,金,3333,-\n";

std::u16string U16(const std::string& utf8) {
    std::u16string text;
    EXPECT_TRUE(Utf8ToUtf16(utf8, text));
    return text;
}

TEST(AddResult, AppendsTheNextDrawInTheFilesStyle) {
    TempDir dir;
    const std::string path = dir.Write("h.csv", ToCp932(kHistory));
    AddRequest request{path, U16("０９７１"), std::nullopt, u"2026-08-24", false, false, false};
    const EditOutcome outcome = AddResult(request);
    ASSERT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
    EXPECT_EQ(ReadFile(path), ToCp932(std::string(kHistory) + "第4回,2026/8/24,月,0971,-\n"));
    EXPECT_EQ(outcome.highest, 4);

    request = {path, u"5555", 4, u"2026/8/22", true, false, false};
    ASSERT_EQ(AddResult(request).status, EditStatus::Ok);
    EXPECT_EQ(ReadFile(path), ToCp932(std::string(kHistory) + "第4回,2026/8/22,土,5555,-\n"));
}

TEST(AddResult, RefusalsWriteNothing) {
    const struct {
        const char* what;
        AddRequest request;
        EditStatus status;
        const char* message;
    } cases[] = {
        {"five digits",
         {"", u"12345", std::nullopt, u"2026/8/24"},
         EditStatus::Refused,
         "当せん番号は4桁"},
        {"letters", {"", u"12a4", std::nullopt, u"2026/8/24"}, EditStatus::Refused, "4桁"},
        {"not above", {"", u"1234", 3, u"2026/8/24"}, EditStatus::Refused, "第3回は最新の第3回"},
        {"a gap",
         {"", u"1234", 7, u"2026/8/24"},
         EditStatus::Refused,
         "第4回～第6回が抜けています"},
        {"the same date",
         {"", u"1234", std::nullopt, u"2026/8/21"},
         EditStatus::Refused,
         "より後ではありません"},
        {"no such date",
         {"", u"1234", std::nullopt, u"2026/2/30"},
         EditStatus::Refused,
         "正しい日付ではありません"},
        {"replace a missing draw",
         {"", u"1234", 9, u"", true},
         EditStatus::Refused,
         "第9回は履歴にありません"},
        {"dry run",
         {"", u"1234", std::nullopt, u"2026/8/24", false, false, true},
         EditStatus::Ok,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        AddRequest request = c.request;
        request.historyPath = dir.Write("h.csv", ToCp932(kHistory));
        const EditOutcome outcome = AddResult(request);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_NE(Utf16ToUtf8(outcome.message).find(c.message), std::string::npos)
            << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(kHistory));
    }
}

TEST(ImportResults, EverySourceFormGivesTheSameDraws) {
    const std::string expected =
        std::string(kHistory) + "第4回,2026/8/24,月,0097,-\n第5回,2026/8/25,火,4321,-\n";
    const struct {
        const char* form;
        std::string bytes;
    } cases[] = {
        {"history, code page 932",
         ToCp932("x\n第4回,2026/8/24,月,0097,-\n第5回,2026/8/25,火,4321,a\n")},
        {"history, UTF-8 with BOM",
         "\xEF\xBB\xBFx\n第4回,2026/8/24,月,0097,-\n第5回,2026/8/25,火,4321,-\n"},
        {"CSV, columns in another order",
         "number,extra,Date,draw\n0097,z,2026/8/24,4\n4321,z,2026-08-25,5\n"},
        {"TSV, Japanese names",
         ToCp932("日付\t当せん番号\t回\n2026/8/24\t0097\t第4回\n\n2026/8/25\t4321\t5\n")},
        {"pasted lines", "第4回 2026/8/24 0097\n\n5,2026-08-25,4321\n"},
        {"pasted, full width",
         "第４回\t２０２６年８月２４日（月）\t００９７\n５　2026.8.25　４３２１\n"},
        {"already there and new", "1 2026/8/19 1111\n第4回 2026/8/24 0097\n5 2026/8/25 4321\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        TempDir dir;
        ImportRequest request;
        request.historyPath = dir.Write("h.csv", ToCp932(kHistory));
        request.sources = {{"src", c.bytes}};
        const EditOutcome outcome = ImportResults(request);
        ASSERT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(outcome.added, 2u);
        EXPECT_EQ(outcome.firstAdded, 4);
        EXPECT_EQ(outcome.lastAdded, 5);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(expected));
    }
}

TEST(ImportResults, RefusalsWriteNothing) {
    const struct {
        const char* what;
        std::vector<ImportSource> sources;
        EditStatus status;
        const char* message;
    } cases[] = {
        {"a conflict with the history",
         {{"a", "2 2026/8/20 9999\n"}},
         EditStatus::Conflict,
         "第2回: 履歴の 3 行目は 2222、a の 1 行目は 9999"},
        {"two sources disagreeing",
         {{"a", "4 2026/8/24 1234\n"}, {"b", "\n4 2026/8/24 4321\n"}},
         EditStatus::Conflict,
         "第4回: a の 1 行目は 1234、b の 2 行目は 4321"},
        {"a gap", {{"a", "5 2026/8/25 1234\n"}}, EditStatus::Refused, "第4回が抜けています"},
        {"draw number 0",
         {{"a", "h\n第0回,2026/8/1,土,1234,-\n"}},
         EditStatus::SourceError,
         "回号が読めません"},
        {"a date not after",
         {{"a", "4 2026/8/21 1234\n"}},
         EditStatus::Refused,
         "より後ではありません"},
        {"a bad line",
         {{"a", "4 2026/8/24 1234\n5 2026/8/25\n"}},
         EditStatus::SourceError,
         "a の 2 行目"},
        {"binary",
         {{"bin", std::string("4 2026/8/24 1234\n\x01\x02\x00\x7F", 21)}},
         EditStatus::SourceError,
         "バイナリ"},
        {"UTF-16",
         {{"u16", testing::ToUtf16("4 2026/8/24 1234\n", false, true)}},
         EditStatus::SourceError,
         "UTF-16"},
        {"UTF-16 without a mark",
         {{"u16", testing::ToUtf16("4 2026/8/24 1234\n", false, false)}},
         EditStatus::SourceError,
         "UTF-16"},
        {"a 20 MB line",
         {{"long", std::string(20u << 20, '1')}},
         EditStatus::SourceError,
         "行が長すぎます"},
        {"neither encoding",
         {{"bad", "4 2026/8/24 1234 \x81\n"}},
         EditStatus::SourceError,
         "文字が読めません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ImportRequest request;
        request.historyPath = dir.Write("h.csv", ToCp932(kHistory));
        request.sources = c.sources;
        const EditOutcome outcome = ImportResults(request);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_NE(Utf16ToUtf8(outcome.message).find(c.message), std::string::npos)
            << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(kHistory));
    }
}

// Draws out of order and repeated across sources merge to what one source in
// draw order gives; the conflicts of both kinds are listed in draw order.
TEST(ImportResults, UnorderedAndRepeatedDrawsMergeInDrawOrder) {
    TempDir dir;
    ImportRequest ordered;
    ordered.historyPath = dir.Write("ordered.csv", ToCp932(kHistory));
    ordered.sources = {{"a", "4 2026/8/24 4444\n5 2026/8/25 5555\n6 2026/8/26 6666\n"}};
    ASSERT_EQ(ImportResults(ordered).status, EditStatus::Ok);

    ImportRequest mixed;
    mixed.historyPath = dir.Write("mixed.csv", ToCp932(kHistory));
    mixed.sources = {{"b", "6 2026/8/26 6666\n4 2026/8/24 4444\n"},
                     {"a", "5 2026/8/25 5555\n4 2026/8/24 4444\n3 2026/8/21 3333\n"}};
    const EditOutcome outcome = ImportResults(mixed);
    ASSERT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
    EXPECT_EQ(outcome.added, 3u);
    EXPECT_EQ(outcome.unchanged, 1u);
    EXPECT_EQ(outcome.firstAdded, 4);
    EXPECT_EQ(outcome.lastAdded, 6);
    EXPECT_EQ(ReadFile(mixed.historyPath), ReadFile(ordered.historyPath));

    ImportRequest clashing;
    clashing.historyPath = dir.Write("clashing.csv", ToCp932(kHistory));
    clashing.sources = {{"b", "5 2026/8/25 5555\n2 2026/8/20 9999\n"},
                        {"a", "5 2026/8/25 5050\n4 2026/8/24 4444\n"}};
    clashing.wantRows = true;
    const EditOutcome refused = ImportResults(clashing);
    EXPECT_EQ(refused.status, EditStatus::Conflict);
    EXPECT_EQ(refused.conflicts, 2u);
    EXPECT_EQ(Utf16ToUtf8(refused.message),
              "第2回: 履歴の 3 行目は 2222、b の 2 行目は 9999\n"
              "第5回: b の 1 行目は 5555、a の 1 行目は 5050");
    ASSERT_EQ(refused.rows.size(), 3u);
    EXPECT_EQ(refused.rows[2].kind, RowKind::Conflict);
    EXPECT_EQ(refused.rows[2].other, (ResultDigits{'5', '0', '5', '0'}));
    EXPECT_EQ(ReadFile(clashing.historyPath), ToCp932(kHistory));
}

TEST(ImportResults, GapsAllowedAndThePreviewRows) {
    TempDir dir;
    ImportRequest request;
    request.historyPath = dir.Write("h.csv", ToCp932(kHistory));
    request.sources = {{"a", "3 2026/8/21 3333\n6 2026/8/26 6666\n"}};
    request.allowGap = true;
    request.dryRun = true;
    request.wantRows = true;
    const EditOutcome outcome = ImportResults(request);
    ASSERT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
    ASSERT_EQ(outcome.rows.size(), 2u);
    EXPECT_EQ(outcome.rows[0].kind, RowKind::Unchanged);
    EXPECT_EQ(outcome.rows[1].kind, RowKind::New);
    ASSERT_EQ(outcome.gaps.size(), 1u);
    EXPECT_EQ(outcome.gaps[0].first, 4);
    EXPECT_EQ(outcome.gaps[0].last, 5);
    EXPECT_EQ(ReadFile(request.historyPath), ToCp932(kHistory));  // a dry run
}

// A changed or added date lies strictly between the draws next to it by
// number, wherever their lines stand in the file.
TEST(AddResult, DatesStayBetweenTheirNeighbours) {
    // Draw 3's line comes before draw 2's.
    const char* const unordered =
        "回号,抽せん日,曜日,当せん番号,備考\n"
        "第1回,2026/8/19,水,1111,-\n"
        "第3回,2026/8/21,金,3333,-\n"
        "第2回,2026/8/20,木,2222,-\n";
    const struct {
        const char* what;
        AddRequest request;
        const char* refusal;  // empty: written
    } cases[] = {
        {"replace, on the previous date",
         {"", u"1234", 2, u"2026/8/19", true},
         "第2回の抽せん日 2026/8/19 は第1回（2026/8/19）より後、第3回（2026/8/21）より前"},
        {"replace, on the next date",
         {"", u"1234", 2, u"2026/8/21", true},
         "第3回（2026/8/21）より前"},
        {"replace the first, after the next",
         {"", u"1234", 1, u"2026/9/1", true},
         "第1回の抽せん日 2026/9/1 は第2回（2026/8/20）より前でなければなりません"},
        {"replace the last, before the previous",
         {"", u"1234", 3, u"1990/1/1", true},
         "第3回の抽せん日 1990/1/1 が第2回の 2026/8/20 より後ではありません"},
        {"add, not after the highest draw",
         {"", u"1234", std::nullopt, u"2026/8/21"},
         "第4回の抽せん日 2026/8/21 が第3回の 2026/8/21 より後ではありません"},
        {"add after the highest, not the last line", {"", u"1234", std::nullopt, u"2026/8/22"}, ""},
        {"replace within the neighbours", {"", u"1234", 2, u"2026/8/20", true}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        AddRequest request = c.request;
        request.historyPath = dir.Write("h.csv", ToCp932(unordered));
        const EditOutcome outcome = AddResult(request);
        if (*c.refusal == '\0') {
            EXPECT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
            continue;
        }
        EXPECT_EQ(outcome.status, EditStatus::Refused);
        EXPECT_NE(Utf16ToUtf8(outcome.message).find(c.refusal), std::string::npos)
            << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(unordered));
    }
}

TEST(AddResult, PayoutsGoOnTheLineAndTheHeaderNamesThem) {
    TempDir dir;
    const std::string path = dir.Write("h.csv", ToCp932(kHistory));
    AddRequest request{path, u"5555", std::nullopt, u"2026/8/24"};
    request.payouts = *PayoutsOf(u"279700,,,");
    ASSERT_EQ(AddResult(request).status, EditStatus::Ok);
    const std::string header =
        "回号,抽せん日,曜日,当せん番号,備考,ストレート,ボックス,セット（ストレート）,"
        "セット（ボックス）\n";
    const std::string draws = std::string(kHistory).substr(std::string(kHistory).find('\n') + 1);
    EXPECT_EQ(ReadFile(path), ToCp932(header + draws + "第4回,2026/8/24,月,5555,-,279700,,,\n"));
    // Replacing with payouts changes them; the header already names them.
    request = {path, u"1234", 2, u"", true};
    request.payouts = *PayoutsOf(u"１,2, 3 ,4");
    ASSERT_EQ(AddResult(request).status, EditStatus::Ok);
    EXPECT_NE(ReadFile(path).find(ToCp932("第2回,2026/8/20,木,1234,-,1,2,3,4\n")),
              std::string::npos);
    EXPECT_EQ(ReadFile(path).rfind(ToCp932(header), 0), 0u);
}

TEST(PayoutsOf, FourPartsEachEmptyOrAWholeAmount) {
    const struct {
        const char16_t* text;
        bool read;
    } cases[] = {
        {u"279700,,,", true},      {u"1,2,3,4", true},       {u",,,", true},
        {u"99999999,0,0,0", true}, {u"100000000,,,", false}, {u"1,2,3", false},
        {u"1,2,3,4,5", false},     {u"1.5,,,", false},       {u"-1,,,", false},
        {u"1 000,,,", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf16ToUtf8(c.text));
        EXPECT_EQ(PayoutsOf(c.text).has_value(), c.read);
    }
    EXPECT_EQ(PayoutsOf(u"279700,,,")->amounts[0], 279700);
    EXPECT_FALSE(PayoutsOf(u"279700,,,")->amounts[1].has_value());
}

// Draws 1..3 as kHistory, with the payouts every source form below carries.
const char* const kPaidHistory =
    "回号,抽せん日,曜日,当せん番号,備考,ストレート,ボックス,セット（ストレート）,"
    "セット（ボックス）\n"
    "第1回,2026/8/19,水,1111,-,279700,,,\n"
    "第2回,2026/8/20,木,2222,-,301100,,,\n"
    "第3回,2026/8/21,金,3333,-,250000,,,\n"
    "第4回,2026/8/24,月,0097,-,900000,37500,468700,18700\n";

TEST(ImportResults, EveryFormWithPayoutsGivesTheSameFile) {
    const struct {
        const char* form;
        std::string bytes;
    } cases[] = {
        {"CSV, English names, BOM",
         "\xEF\xBB\xBF"
         "draw_no,draw_date,winning_number,digit1,straight_payout,box_payout,"
         "set_straight_payout,set_box_payout\n1,2026-08-19,1111,1,279700,,,\n"
         "2,2026-08-20,2222,2,301100,,,\n3,2026-08-21,3333,3,250000,,,\n"
         "4,2026-08-24,0097,0,900000,37500,468700,18700\n"},
        {"CSV, Japanese names, English payouts, any order",
         "box_payout,回号,set_box_payout,抽せん日,当せん番号,straight_payout,set_straight_payout\n"
         ",第1回,,1994-10-07,1111,279700,\n,第2回,,2026-08-20,2222,301100,\n"
         ",第3回,,2026-08-21,3333,250000,\n37500,第4回,18700,2026/8/24,0097,900000,468700\n"},
        {"TSV, Japanese payout names",
         ToCp932("回号\t抽せん日\t当せん番号\tストレート\tボックス\tセット（ストレート）\tセット（"
                 "ボックス）"
                 "\n1\t2026/8/19\t1111\t279700\t\t\t\n2\t2026/8/20\t2222\t301100\t\t\t\n"
                 "3\t2026/8/21\t3333\t２５００００\t\t\t\n4\t2026/8/"
                 "24\t0097\t900000\t37500\t468700\t18700\n")},
        {"history with payouts",
         ToCp932("x\n第1回,2026/8/19,水,1111,-,279700,,,\n第2回,2026/8/20,木,2222,-,301100,,,\n"
                 "第3回,2026/8/21,金,3333,-,250000,,,\n"
                 "第4回,2026/8/24,月,0097,-,900000,37500,468700,18700\n")},
        {"JSON array",
         R"([{"draw_no":1,"date":"2026-08-19","digits":[1,1,1,1],"prize":{"straight":279700,)"
         R"("box":null,"set_straight":null,"set_box":null}},)"
         R"({"draw_no":2,"draw_date":"2026-08-20","winning_number":"2222","prize":{"straight":301100}},)"
         R"({"draw_no":3,"date":"2026-08-21","result":{"values":[3,3,3,3]},"prize":{"straight":250000},"x":[{"y":[]}]},)"
         R"({"draw_no":"4","date":"2026-08-24","result":{"display":"0097"},)"
         R"("prize":{"straight":900000,"box":37500,"set_straight":468700,"set_box":18700}}])"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        TempDir dir;
        ImportRequest request;
        request.historyPath = dir.Write("h.csv", ToCp932(kHistory));
        request.sources = {{"src", c.bytes}};
        const EditOutcome outcome = ImportResults(request);
        ASSERT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(outcome.payoutsAdded, 3u);
        EXPECT_EQ(outcome.added, 1u);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(kPaidHistory));
    }
}

TEST(ImportResults, JsonSourcesThatDoNotRead) {
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"a syntax error", "[\n{\"draw_no\":4,\n\"date\":}]",
         "src の 3 行目（24 バイト目）: JSON の書き方の誤りです"},
        {"no draw number",
         R"([{"draw_no":4,"date":"2026-08-24","winning_number":"0097"},{"date":"2026-08-25"}])",
         "src の 1 番目（0 から）の回: draw_no がありません"},
        {"no date", R"({"draw_no":4,"digits":[0,0,9,7]})",
         "src の回: date（または draw_date）がありません"},
        {"no result", R"([{"draw_no":4,"date":"2026-08-24","digits":[0,0,9]}])",
         "winning_number・digits・result のどれもありません"},
        {"a year below 1000", R"([{"draw_no":4,"date":"0997-08-24","digits":[0,0,9,7]}])",
         "date が読めません: 0997-08-24"},
        {"a digit of two", R"([{"draw_no":4,"date":"2026-08-24","digits":[0,0,9,17]}])",
         "digits[] が読めません: 17"},
        {"a payout that is no amount",
         R"([{"draw_no":4,"date":"2026-08-24","winning_number":"0097","prize":{"box":1.5}}])",
         "ボックスの払戻金は"},
        {"nested too deep", std::string(40, '[') + std::string(40, ']'), "入れ子が深すぎます"},
        {"no draws", "[]", "JSON に抽せんの結果がありません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ImportRequest request;
        request.historyPath = dir.Write("h.csv", ToCp932(kHistory));
        request.sources = {{"src", c.bytes}};
        const EditOutcome outcome = ImportResults(request);
        EXPECT_EQ(outcome.status, EditStatus::SourceError);
        EXPECT_NE(Utf16ToUtf8(outcome.message).find(c.message), std::string::npos)
            << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(kHistory));
    }
}

// The merge of a history and sources that carry payouts, with and without --keep-mine.
TEST(ImportResults, PayoutMergeOutcomes) {
    const char* const paid =
        "回号,抽せん日,曜日,当せん番号,備考,ストレート,ボックス,セット（ストレート）,"
        "セット（ボックス）\n"
        "第1回,2026/8/19,水,1111,-,279700,,,\n"
        "第2回,2026/8/20,木,2222,-\n";
    const struct {
        const char* what;
        std::vector<ImportSource> sources;
        bool keepMine;
        EditStatus status;
        std::vector<RowKind> rows;
        const char* message;   // refusals: part of the message
        const char* expected;  // written: the whole file
    } cases[] = {
        {"the same payouts: unchanged",
         {{"a", "draw,date,result,straight_payout\n1,2026/8/19,1111,279700\n"}},
         false,
         EditStatus::Ok,
         {RowKind::Unchanged},
         "",
         nullptr},
        {"no payouts in the source: unchanged",
         {{"a", "1 2026/8/19 1111\n2 2026/8/20 2222\n"}},
         false,
         EditStatus::Ok,
         {RowKind::Unchanged, RowKind::Unchanged},
         "",
         nullptr},
        {"a draw without payouts gains them",
         {{"a", "draw,date,result,straight_payout\n2,2026/8/20,2222,301100\n"}},
         false,
         EditStatus::Ok,
         {RowKind::PayoutsAdded},
         "",
         "回号,抽せん日,曜日,当せん番号,備考,ストレート,ボックス,セット（ストレート）,"
         "セット（ボックス）\n"
         "第1回,2026/8/19,水,1111,-,279700,,,\n第2回,2026/8/20,木,2222,-,301100,,,\n"},
        {"other payouts: a conflict",
         {{"a", "draw,date,result,straight_payout\n1,2026/8/19,1111,1\n"}},
         false,
         EditStatus::Conflict,
         {RowKind::Conflict},
         "第1回: 履歴の 2 行目の払戻金は 279700,,,、a の 2 行目の払戻金は 1,,,",
         nullptr},
        {"two sources with other payouts: a conflict",
         {{"a", "draw,date,result,straight_payout\n3,2026/8/21,3333,1\n"},
          {"b", "draw,date,result,straight_payout\n3,2026/8/21,3333,2\n"}},
         false,
         EditStatus::Conflict,
         {RowKind::Conflict},
         "第3回: a の 2 行目の払戻金は 1,,,、b の 2 行目の払戻金は 2,,,",
         nullptr},
        {"other payouts and another result, kept",
         {{"a",
           "draw,date,result,straight_payout\n1,2026/8/19,1111,1\n2,2026/8/20,9999,5\n"
           "3,2026/8/21,3333,7\n"}},
         true,
         EditStatus::Ok,
         {RowKind::KeptMine, RowKind::KeptMine, RowKind::New},
         "",
         "回号,抽せん日,曜日,当せん番号,備考,ストレート,ボックス,セット（ストレート）,"
         "セット（ボックス）\n"
         "第1回,2026/8/19,水,1111,-,279700,,,\n第2回,2026/8/20,木,2222,-\n"
         "第3回,2026/8/21,金,3333,-,7,,,\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ImportRequest request;
        request.historyPath = dir.Write("h.csv", ToCp932(paid));
        request.sources = c.sources;
        request.keepMine = c.keepMine;
        request.wantRows = true;
        const EditOutcome outcome = ImportResults(request);
        EXPECT_EQ(outcome.status, c.status) << Utf16ToUtf8(outcome.message);
        std::vector<RowKind> kinds;
        for (const ImportRow& row : outcome.rows) kinds.push_back(row.kind);
        EXPECT_EQ(kinds, c.rows);
        EXPECT_NE(Utf16ToUtf8(outcome.message).find(c.message), std::string::npos)
            << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(ReadFile(request.historyPath), ToCp932(c.expected ? c.expected : paid));
        if (c.keepMine) {
            EXPECT_EQ(outcome.keptMine, (std::vector<std::int32_t>{1, 2}));
        }
    }
}

// Each form of the published data set, imported keeping the history's values,
// gives the real history with every payout but the one draw they disagree on.
TEST(ImportResults, TheDataSetsFormsGiveOneFile) {
    const std::string real = testing::RealHistoryPath();
    const std::string api = testing::ResultsApiPath();
    if (real.empty() || api.empty()) GTEST_SKIP() << "the shared data is absent";
    const std::string original = ReadFile(real);
    std::vector<std::string> files;
    for (const char* form :
         {"numbers4_results.csv", "numbers4_results_v2.csv", "numbers4_all_full.json"}) {
        SCOPED_TRACE(form);
        TempDir dir;
        ImportRequest request;
        request.historyPath = dir.Write("h.csv", original);
        request.sources = {{form, ReadFile(api + "/" + form)}};
        request.keepMine = true;
        const EditOutcome outcome = ImportResults(request);
        ASSERT_EQ(outcome.status, EditStatus::Ok) << Utf16ToUtf8(outcome.message);
        EXPECT_EQ(outcome.keptMine, (std::vector<std::int32_t>{1225}));
        EXPECT_EQ(outcome.payoutsAdded, 7053u);
        files.push_back(ReadFile(request.historyPath));
    }
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], files[1]);
    EXPECT_EQ(files[0], files[2]);
    // Line by line: the original bytes, the payouts after them (none on 第1225回).
    std::size_t at = 0;
    std::size_t from = 0;
    std::size_t line = 0;
    while (at < original.size()) {
        const std::size_t end = original.find('\n', at);
        const std::size_t next = files[0].find('\n', from);
        ASSERT_NE(next, std::string::npos);
        const std::string mine = original.substr(at, end - at);
        const std::string theirs = files[0].substr(from, next - from);
        EXPECT_EQ(theirs.rfind(mine, 0), 0u) << "line " << line + 1;
        EXPECT_EQ(theirs.size() == mine.size(), line == 1225) << "line " << line + 1;
        at = end + 1;
        from = next + 1;
        ++line;
    }
}

TEST(InitHistory, WritesTheHeaderAndRefusesATakenPath) {
    TempDir dir;
    const std::string path = dir.File("new.csv");
    ASSERT_EQ(InitHistory(path).status, EditStatus::Ok);
    EXPECT_EQ(ReadFile(path), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"));
    EXPECT_EQ(InitHistory(path).status, EditStatus::Exists);
}

}  // namespace
}  // namespace corvalith
