// RunPredict end to end: the full message on histories whose forecast is
// known by construction, and each failure status.
#include "commands/predict_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "history/draw_number.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/file_system_path.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::TempDir;

PredictRequest Request(const std::string& path, std::int32_t filterKind = 0,
                       std::uint32_t interval = 15, std::int32_t draw = 42) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(path);
    request.filterKind = filterKind;
    request.interval = interval;
    request.drawNumber = draw;
    return request;
}

std::string Message(const PredictOutcome& outcome) { return Utf16ToUtf8(outcome.text); }

std::string Ranked(const std::string& digits) { return "パワースペクトル予想: " + digits; }

TEST(RunPredict, FullMessageWithEachPositionFromItsOwnSeries) {
    // Thousands always 7, hundreds always 3, tens always 0; the ones cycle
    // through every digit, so all of its scores are equal.
    std::vector<std::string> results;
    for (int i = 0; i < 300; ++i) results.push_back("730" + std::to_string(i % 10));
    TempDir dir;
    const std::string path = dir.Write("h.csv", MakeHistory(results));
    const std::string expected =
        "予測回号: 第42回\n\n予想数字\n\n"
        "千の位：\n" +
        Ranked("7, 0, 1, 2, 3, 4, 5, 6, 8, 9") +
        "\n\n"
        "百の位：\n" +
        Ranked("3, 0, 1, 2, 4, 5, 6, 7, 8, 9") +
        "\n\n"
        "十の位：\n" +
        Ranked("0, 1, 2, 3, 4, 5, 6, 7, 8, 9") +
        "\n\n"
        "一の位：\n" +
        Ranked("0, 1, 2, 3, 4, 5, 6, 7, 8, 9");
    for (const std::int32_t kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        const PredictOutcome outcome = RunPredict(Request(path, kind, 10));
        ASSERT_EQ(outcome.status, PredictStatus::Ok);
        EXPECT_EQ(Message(outcome), expected);
    }
}

TEST(RunPredict, PredictorFailureShowsErrorUnderEveryHeading) {
    TempDir dir;
    const std::string path = dir.Write("h.csv", MakeHistory({"1234", "5678"}));
    const PredictOutcome outcome = RunPredict(Request(path, 0, 15, 0));
    ASSERT_EQ(outcome.status, PredictStatus::Ok);
    EXPECT_EQ(Message(outcome),
              "予測回号: 第0回\n\n予想数字\n\n千の位：\nError\n\n百の位：\nError\n\n"
              "十の位：\nError\n\n一の位：\nError");
}

TEST(RunPredict, StatusesInTheOrderOfTheChecks) {
    TempDir dir;
    EXPECT_EQ(RunPredict(PredictRequest{}).status, PredictStatus::NoPath);
    EXPECT_EQ(RunPredict(Request(dir.File("missing.csv"))).status, PredictStatus::PathNotFound);
    // A directory exists, so it reaches the reader, which refuses it.
    EXPECT_EQ(RunPredict(Request(dir.path())).status, PredictStatus::ReadFailed);
    const std::string bad = dir.Write("bad.csv", "h\nnot a draw line\n");
    const PredictOutcome failed = RunPredict(Request(bad));
    EXPECT_EQ(failed.status, PredictStatus::ReadFailed);
    EXPECT_TRUE(failed.text.empty());
}

TEST(RunPredict, NameThatIsNotUtf8StillReachesTheFile) {
    TempDir dir;
    const std::string path = dir.Write("h\xFF\xFE.csv", MakeHistory({"1234", "5678", "9012"}));
    const PredictOutcome outcome = RunPredict(Request(path, 2, 10));
    EXPECT_EQ(outcome.status, PredictStatus::Ok);
}

TEST(RunPredict, SampleAndRealHistoryForEveryFilterAndInterval) {
    std::vector<std::string> paths = {testing::SampleHistoryPath()};
    if (!testing::RealHistoryPath().empty()) paths.push_back(testing::RealHistoryPath());
    for (const auto& path : paths) {
        for (const std::int32_t kind : {0, 1, 2}) {
            for (const std::uint32_t interval : {10u, 12u, 15u, 18u, 20u, 24u, 30u}) {
                const PredictOutcome outcome = RunPredict(Request(path, kind, interval));
                ASSERT_EQ(outcome.status, PredictStatus::Ok);
                const std::string message = Message(outcome);
                EXPECT_EQ(message.find("Error"), std::string::npos) << path << " " << kind;
                EXPECT_EQ(message.rfind("予測回号: 第42回\n\n予想数字\n\n千の位：\n", 0), 0u);
            }
        }
    }
}

TEST(RunPredict, ForecastWritesNoFile) {
    TempDir dir;
    const std::string path = dir.Write("h.csv", MakeHistory({"1234", "5678", "9012"}));
    const auto before = std::filesystem::last_write_time(path);
    const auto cwdBefore = std::distance(std::filesystem::directory_iterator("."),
                                         std::filesystem::directory_iterator());
    for (const std::int32_t kind : {0, 1, 2})
        EXPECT_EQ(RunPredict(Request(path, kind, 10)).status, PredictStatus::Ok);
    EXPECT_EQ(std::filesystem::last_write_time(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."),
                            std::filesystem::directory_iterator()),
              cwdBefore);
}

// RunPredictDetail is RunPredict with the positions' detail: the same
// message, built from the detail's own texts.
TEST(RunPredictDetail, SameMessageAndItsPositions) {
    const std::string sample = testing::SampleHistoryPath();
    for (const std::int32_t kind : {0, 1, 2}) {
        const PredictRequest request = Request(sample, kind, 20, 77);
        const PredictOutcome outcome = RunPredict(request);
        const PredictDetail detail = RunPredictDetail(request);
        ASSERT_EQ(detail.status, PredictStatus::Ok);
        EXPECT_EQ(detail.text, outcome.text);
        const std::string message = Utf16ToUtf8(detail.text);
        const char* labels[] = {"千の位：\n", "百の位：\n", "十の位：\n", "一の位：\n"};
        for (std::size_t p = 0; p < 4; ++p) {
            EXPECT_TRUE(detail.positions[p].ranked);
            // Each score is the peak of the digit's own spectrum, bins of one frame.
            const std::size_t bins = detail.positions[p].spectra[0].size();
            EXPECT_EQ(bins & (bins - 1), 0u);
            for (int d = 0; d < kDigits; ++d) {
                const std::vector<double>& power = detail.positions[p].spectra[d];
                ASSERT_EQ(power.size(), bins);
                EXPECT_EQ(*std::max_element(power.begin(), power.end()),
                          detail.positions[p].scores[d]);
            }
            const std::string shown =
                std::string(labels[p]) + Utf16ToUtf8(detail.positions[p].text);
            EXPECT_NE(message.find(shown), std::string::npos) << shown;
        }
    }
    TempDir dir;
    const PredictDetail header = RunPredictDetail(Request(dir.Write("h.csv", MakeHistory({}))));
    ASSERT_EQ(header.status, PredictStatus::Ok);
    for (const PositionForecast& position : header.positions) {
        EXPECT_FALSE(position.ranked);
        for (const auto& power : position.spectra) EXPECT_TRUE(power.empty());
        EXPECT_EQ(position.text, u"Error");
    }
    EXPECT_EQ(RunPredictDetail(Request(dir.File("missing"))).status, PredictStatus::PathNotFound);
    EXPECT_EQ(RunPredictDetail(Request("")).status, PredictStatus::NoPath);
}

}  // namespace
}  // namespace corvalith

namespace corvalith {
namespace {

// The heading the window would propose, computed from a separate scan of the
// file: the highest draw number + 1, saturating at INT32_MAX, or 1.
std::int32_t ProposedByScan(const std::string& path) {
    const auto next = NextDrawNumber(ScanHighestDrawNumber(path));
    if (!next) return 1;
    return static_cast<std::int32_t>(std::min<std::int64_t>(*next, INT32_MAX));
}

TEST(RunPredict, ProposedDrawNumberIsTheScanOfTheSameFile) {
    TempDir dir;
    const std::string header = "回号,日付,曜日,当選番号,備考\n";
    std::vector<std::string> paths = {
        testing::SampleHistoryPath(),
        dir.Write("plain.csv", MakeHistory(std::vector<std::string>(60, "1234"), 5)),
        // Spaces around the number, a higher 第N回 later in a line (only the
        // first match of a line counts), and the largest number first.
        dir.Write("odd.csv", testing::ToCp932(header + "第 90回,2001/5/7,月,1234,-\n"
                                                       "第7回,2001/5/8,火,1234,第 120 回\n"
                                                       "第8回,2001/5/9,水,1234,-\n")),
        dir.Write("largest.csv", testing::ToCp932(header + "第2147483647回,2001/5/7,月,1234,-\n"
                                                           "第3回,2001/5/8,火,1234,-\n")),
        dir.Write("header-only.csv", testing::ToCp932(header)),
    };
    if (!testing::RealHistoryPath().empty()) paths.push_back(testing::RealHistoryPath());
    for (const std::string& path : paths) {
        PredictRequest proposed = Request(path);
        proposed.drawNumber = -7;  // ignored when proposing
        proposed.proposeDrawNumber = true;
        const PredictOutcome got = RunPredict(proposed);
        const PredictOutcome want = RunPredict(Request(path, 0, 15, ProposedByScan(path)));
        EXPECT_EQ(got.status, want.status) << path;
        EXPECT_EQ(Message(got), Message(want)) << path;
    }
    EXPECT_EQ(ProposedByScan(paths[3]), INT32_MAX);
    EXPECT_EQ(ProposedByScan(paths[2]), 91);
}

}  // namespace
}  // namespace corvalith
