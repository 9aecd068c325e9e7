// add, import and init through the commands: one table per source form and
// one per refusal. Every refusal leaves the history byte for byte.
#include "commands/history_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

    request = {path, u"5555", 2, u"2026/8/22", true, false, false};
    ASSERT_EQ(AddResult(request).status, EditStatus::Ok);
    EXPECT_EQ(ReadFile(path),
              ToCp932("回号,抽せん日,曜日,当せん番号,備考\n第1回,2026/8/19,水,1111,-\n"
                      "第2回,2026/8/22,木,5555,-\n第3回,2026/8/21,金,3333,-\n"
                      "第4回,2026/8/24,月,0971,-\n"));
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

TEST(InitHistory, WritesTheHeaderAndRefusesATakenPath) {
    TempDir dir;
    const std::string path = dir.File("new.csv");
    ASSERT_EQ(InitHistory(path).status, EditStatus::Ok);
    EXPECT_EQ(ReadFile(path), ToCp932("回号,抽せん日,曜日,当せん番号,備考\n"));
    EXPECT_EQ(InitHistory(path).status, EditStatus::Exists);
}

}  // namespace
}  // namespace corvalith
