// scripts/check-layers.sh: the project's own tree passes, and each kind of
// planted violation in a small tree fails with the file that commits it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::CommandResult;
using testing::RunCommand;
using testing::ShellQuote;
using testing::TempDir;

CommandResult CheckLayers(const std::string& root) {
    return RunCommand(ShellQuote(CORVALITH_CHECK_LAYERS) + " " + ShellQuote(root));
}

// A small tree that follows the layers, for one planted violation at a time.
void WriteCleanTree(const TempDir& dir) {
    for (const char* folder : {"text", "dsp", "history", "commands", "cli", "ui", "tests/ui"}) {
        std::filesystem::create_directories(dir.File(folder));
    }
    (void)dir.Write("history/reader.cc", "#include \"dsp/wa_data.h\"\n#include \"text/cp932.h\"\n");
    (void)dir.Write("commands/run.cc", "#include \"history/draw_history.h\"\n");
    (void)dir.Write("cli/CMakeLists.txt", "target_link_libraries(cli_core PUBLIC\n    commands)\n");
    (void)dir.Write("ui/dlg.cc", "#include <QDialog>\n#include \"commands/messages.h\"\n");
    (void)dir.Write("tests/ui/dlg_test.cc", "#include <QTest>\n");
}

TEST(CheckLayers, TheProjectTreeFollowsTheLayers) {
    const CommandResult result = CheckLayers(CORVALITH_SOURCE_DIR);
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST(CheckLayers, EachPlantedViolationFailsAndIsNamed) {
    struct Plant {
        const char* file;
        const char* content;
        const char* report;
    };
    const Plant plants[] = {
        {"dsp/fft.cc", "#include \"history/draw_history.h\"\n",
         "dsp/fft.cc:1: dsp/ may not include history/"},
        {"cli/run.cc", "  #include \"ui/cpendula_dlg.h\"\n",
         "cli/run.cc:1: cli/ may not include ui/"},
        {"commands/box.cc", "\n#include <QString>\n",
         "commands/box.cc:2: commands/ may not include Qt"},
        {"cli/CMakeLists.txt", "target_link_libraries(cli_core PUBLIC\n    ui commands)\n",
         "cli/CMakeLists.txt: cli/ may not link ui (ui/)"},
        {"history/CMakeLists.txt", "target_link_libraries(history PUBLIC Qt6::Core)\n",
         "history/CMakeLists.txt: history/ may not link Qt6::Core"},
        {"tests/dsp_test.cc", "#include <QObject>\n",
         "tests/dsp_test.cc:1: Qt outside the window's tests"},
    };
    {
        TempDir clean;
        WriteCleanTree(clean);
        const CommandResult result = CheckLayers(clean.path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    for (const Plant& plant : plants) {
        SCOPED_TRACE(plant.file);
        TempDir dir;
        WriteCleanTree(dir);
        (void)dir.Write(plant.file, plant.content);
        const CommandResult result = CheckLayers(dir.path());
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(plant.report), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("1 violation(s)"), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace corvalith
