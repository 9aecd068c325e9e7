// scripts/check-layers.sh: the project's own tree passes, a small tree using
// every allowed form passes, and each planted violation in it fails with the
// file and line that commit it.
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

// A small tree that follows the layers, in the forms the check must accept:
// std and POSIX headers, a relative include of an allowed layer, each
// third-party library where the table allows it, a test function that hands
// its libraries on to target_link_libraries.
void WriteCleanTree(const TempDir& dir) {
    for (const char* folder : {"text", "dsp", "history", "commands", "evaluate", "cli", "ui",
                               "tests/dsp", "tests/ui", "bench", "fuzz"}) {
        std::filesystem::create_directories(dir.File(folder));
    }
    (void)dir.Write("CMakeLists.txt", "add_subdirectory(dsp)  # target_link_libraries(dsp ui)\n");
    (void)dir.Write("text/cp932.cc",
                    "#include <iconv.h>\n#include <sys/stat.h>\n#include <fcntl.h>\n"
                    "#include <unistd.h>\n#include <thread>\n#include <mutex>\n");
    (void)dir.Write("dsp/wa_data.h", "#include <cstdint>\n");
    (void)dir.Write("history/reader.cc", "#include \"../dsp/wa_data.h\"\n#include \"text/x.h\"\n");
    (void)dir.Write("commands/run.cc",
                    "#include \"evaluate/backtest.h\"\n#include <nlohmann/json.hpp>\n");
    (void)dir.Write("evaluate/statistics.cc", "#include <boost/math/distributions/normal.hpp>\n");
    (void)dir.Write("cli/CMakeLists.txt",
                    "target_link_libraries(cli_core PUBLIC\n    commands PRIVATE CLI11::CLI11)\n");
    (void)dir.Write("ui/dlg.cc", "#include <QDialog>\n#include \"commands/messages.h\"\n");
    (void)dir.Write("tests/CMakeLists.txt",
                    "function(corvalith_add_test name)\n"
                    "    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)\n"
                    "endfunction()\n");
    (void)dir.Write("tests/dsp/CMakeLists.txt",
                    "corvalith_add_test(dsp_test SOURCES a.cc LIBS dsp LABELS x)\n");
    (void)dir.Write("tests/ui/dlg_test.cc", "#include <QTest>\n#include <gtest/gtest.h>\n");
    (void)dir.Write("bench/b.cc", "#include <benchmark/benchmark.h>\n#include \"commands/r.h\"\n");
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
        {"cli/run.cc", "#include \"../ui/x.h\"\n", "cli/run.cc:1: cli/ may not include ui/"},
        {"cli/run.cc", "\n#include <ui/x.h>\n", "cli/run.cc:2: cli/ may not include ui/"},
        {"dsp/fft.cc", "  #  include \"history/draw_history.h\"\n",
         "dsp/fft.cc:1: dsp/ may not include history/"},
        {"dsp/fft.cpp", "#include \"history/x.h\"\n", "dsp/fft.cpp:1: dsp/ may not include"},
        {"dsp/fft.hpp", "#include \"history/x.h\"\n", "dsp/fft.hpp:1: dsp/ may not include"},
        {"commands/box.cc", "#include <qstring.h>\n", "commands/ may not use Qt (<qstring.h>)"},
        {"commands/box.cc", "#include \"QString\"\n", "commands/ may not use Qt (\"QString\")"},
        {"history/CMakeLists.txt", "target_link_libraries(history\n  PUBLIC Qt::Widgets)\n",
         "history/CMakeLists.txt:1: history/ may not use Qt (Qt::Widgets)"},
        {"history/CMakeLists.txt", "target_link_libraries(history PUBLIC ${UI_LIBS})\n",
         "history/ links through ${UI_LIBS}"},
        {"CMakeLists.txt", "add_subdirectory(dsp)\ntarget_link_libraries(dsp PRIVATE history)\n",
         "CMakeLists.txt:2: dsp/ may not link history (history/)"},
        {"tests/dsp/fft_test.cc", "#include \"history/draw_history.h\"\n",
         "tests/dsp/ may not include history/"},
        {"tests/dsp/CMakeLists.txt", "corvalith_add_test(t SOURCES a.cc LIBS dsp history)\n",
         "tests/dsp/ may not link history"},
        {"tests/dsp/fft_test.cc", "#include <QObject>\n", "tests/dsp/ may not use Qt"},
        {"bench/b.cc", "#include \"ui/x.h\"\n", "bench/ may not include ui/"},
        {"fuzz/f.cc", "#include <cli/cli_run.h>\n", "fuzz/ may not include cli/"},
        {"dsp/x.cc", "#include <boost/math/distributions/normal.hpp>\n",
         "dsp/ may not use Boost.Math"},
        {"dsp/CMakeLists.txt", "target_link_libraries(dsp PUBLIC Boost::headers)\n",
         "dsp/ may not use Boost.Math (Boost::headers)"},
        {"history/x.cc", "#include <nlohmann/json.hpp>\n", "history/ may not use nlohmann/json"},
        {"evaluate/x.cc", "#include <boost/algorithm/string.hpp>\n", "evaluate/ may not use Boost"},
        {"dsp/x.cc", "#include <zlib.h>\n", "<zlib.h> is not a standard, POSIX or listed"},
        {"dsp/x.cc", "#include \"../../outside.h\"\n", "../../outside.h lies outside the tree"},
        {"text/x.cc", "#include HEADER\n", "text/x.cc:1: an include through a macro"},
        {"tools/x.cc", "int main() {}\n", "tools/x.cc: a source outside every layer's folder"},
    };
    {
        TempDir clean;
        WriteCleanTree(clean);
        const CommandResult result = CheckLayers(clean.path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    for (const Plant& plant : plants) {
        SCOPED_TRACE(std::string(plant.file) + ": " + plant.content);
        TempDir dir;
        WriteCleanTree(dir);
        std::filesystem::create_directories(
            dir.File(plant.file).substr(0, dir.File(plant.file).rfind('/')));
        (void)dir.Write(plant.file, plant.content);
        const CommandResult result = CheckLayers(dir.path());
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(plant.report), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("1 violation(s)"), std::string::npos) << result.err;
    }
}

}  // namespace
}  // namespace corvalith
