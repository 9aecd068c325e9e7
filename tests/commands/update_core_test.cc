// The update without a face: which URLs have a version.json beside them,
// when that file spares the download, and a file source.
#include "commands/update_core.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/history_files.h"
#include "tests/support/local_server.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::LocalServer;
using testing::MakeHistory;
using testing::TempDir;
using testing::ToCp932;

TEST(UpdateCore, VersionFileBesideTheDataSetsDownloads) {
    const struct {
        const char* url;
        const char* version;
    } cases[] = {
        {kDefaultUpdateSource, "https://numbers4-1d961.web.app/api/v1/version.json"},
        {"http://127.0.0.1:8/a/numbers4_all_min.json", "http://127.0.0.1:8/a/version.json"},
        {"http://127.0.0.1:8/a/numbers4_results.csv", ""},
        {"http://127.0.0.1:8/numbers4_all_full.json.bak", ""},
        {"/home/me/numbers4_all_full.json", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(VersionUrlOf(c.url), c.version) << c.url;
}

// The version check: the download is asked for only when version.json has a
// newer draw, or the history's newest draw lacks its payouts, or the file
// cannot be had. The full download served is not a source the import
// reads, so each row tells by the bytes whether it was reached.
TEST(UpdateCore, TheVersionFileSparesTheDownload) {
    const std::string paid = ToCp932("第2回,2001/5/8,火,5678,-,900000,37500,468700,18700\n");
    const std::string unpaid = ToCp932("第2回,2001/5/8,火,5678,-\n");
    const struct {
        const char* name;
        const char* version;  // nullptr: no version.json
        bool newestPaid;
        bool downloads;
    } cases[] = {
        {"nothing newer, paid", R"({"latest_draw_no": 2})", true, false},
        {"older than the history", R"({"latest_draw_no": 1})", true, false},
        {"a newer draw", R"({"latest_draw_no": 3})", true, true},
        {"newest draw without payouts", R"({"latest_draw_no": 2})", false, true},
        {"no version file", nullptr, true, true},
        {"not JSON", "<html>", true, true},
        {"no draw number", R"({"latest_draw_no": "2"})", true, true},
    };
    TempDir served;
    TempDir work;
    LocalServer server(served.path());
    ASSERT_TRUE(server.ok());
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Each row's files in a folder of their own.
        const std::string folder = std::to_string(++row);
        std::filesystem::create_directory(served.File(folder));
        served.Write(folder + "/numbers4_all_full.json", "not a source");
        if (c.version != nullptr) served.Write(folder + "/version.json", c.version);
        const std::string history =
            work.Write(folder + ".csv", MakeHistory({"1234"}) + (c.newestPaid ? paid : unpaid));
        UpdateRequest request;
        request.historyPath = history;
        request.source = server.Url("/files/" + folder + "/numbers4_all_full.json");
        const SourceBytes got = FetchUpdateSource(request);
        EXPECT_EQ(got.historyHighest, 2);
        if (c.downloads) {
            EXPECT_EQ(got.status, UpdateStatus::Ok);
            EXPECT_EQ(got.bytes, "not a source");
        } else {
            EXPECT_EQ(got.status, UpdateStatus::UpToDate);
            EXPECT_EQ(got.message, u"最新です: 第2回");
            EXPECT_TRUE(got.bytes.empty());
        }
    }
}

TEST(UpdateCore, AFileSourceIsReadAndImported) {
    TempDir work;
    const std::string source = work.Write(
        "s.csv", "回号,抽せん日,当せん番号\n第1回,2001-05-07,1234\n第2回,2001-05-08,5678\n");
    const std::string history = work.Write("h.csv", MakeHistory({"1234"}));
    UpdateRequest request;
    request.historyPath = history;
    request.source = source;
    const UpdateOutcome outcome = RunUpdate(request);
    ASSERT_EQ(outcome.status, UpdateStatus::Ok);
    EXPECT_EQ(outcome.sourceNewest, 2);
    EXPECT_EQ(outcome.edit.added, 1U);
    EXPECT_EQ(outcome.edit.highest, 2);

    request.source = work.File("absent.csv");
    const UpdateOutcome missing = RunUpdate(request);
    EXPECT_EQ(missing.status, UpdateStatus::NoSource);
    EXPECT_NE(missing.message.find(u"absent.csv"), std::u16string::npos);
}

}  // namespace
}  // namespace corvalith
