// A history that changes after it was chosen: each forecast reads the file
// as it is at that moment.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "commands/predict_core.h"
#include "history/draw_number.h"
#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"
#include "text/file_system_path.h"

namespace corvalith {
namespace {

using testing::MakeHistory;
using testing::TempDir;

PredictStatus Forecast(const std::string& path) {
    PredictRequest request;
    request.historyPath = PathFromFileSystem(path);
    request.interval = 10;
    return RunPredict(request).status;
}

TEST(ChangingHistory, TruncatedReplacedOrRemovedAfterTheCheck) {
    TempDir dir;
    std::vector<std::string> results(40, "1234");
    const std::string path = dir.Write("h.csv", MakeHistory(results));
    ASSERT_EQ(ScanHighestDrawNumber(path), 40);
    ASSERT_EQ(Forecast(path), PredictStatus::Ok);

    // Cut in the middle of a line: the half line is malformed.
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2 + 3);
    EXPECT_EQ(Forecast(path), PredictStatus::ReadFailed);

    dir.Write("h.csv", "");
    EXPECT_EQ(Forecast(path), PredictStatus::ReadFailed);

    // Replaced by another file through a rename: the new content is read.
    const std::string other = dir.Write("other.csv", MakeHistory({"9999"}, 500));
    std::filesystem::rename(other, path);
    EXPECT_EQ(Forecast(path), PredictStatus::Ok);
    EXPECT_EQ(ScanHighestDrawNumber(path), 500);

    std::filesystem::remove(path);
    EXPECT_EQ(Forecast(path), PredictStatus::PathNotFound);
}

}  // namespace
}  // namespace corvalith
