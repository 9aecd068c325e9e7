// scripts/run.sh in a scratch copy of the tree, with cmake and the
// installation replaced by stand-ins that print on standard output as the
// real ones do: the build step names only the two programs, and standard
// output carries nothing but what the program prints.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/support/history_files.h"
#include "tests/support/temp_dir.h"

namespace corvalith {
namespace {

using testing::CommandResult;
using testing::ReadFile;
using testing::RunCommand;
using testing::ShellQuote;
using testing::TempDir;

void WriteScript(const TempDir& dir, const std::string& name, const std::string& body) {
    ASSERT_EQ(::chmod(dir.Write(name, "#!/bin/sh\n" + body).c_str(), 0755), 0);
}

TEST(RunScript, BuildsOnlyTheTwoProgramsAndPrintsOnlyTheForecast) {
    TempDir tree;
    for (const char* folder : {"scripts", "stand-ins", "build/bin"}) {
        std::filesystem::create_directories(tree.File(folder));
    }
    std::filesystem::copy_file(std::string(CORVALITH_SOURCE_DIR) + "/scripts/run.sh",
                               tree.File("scripts/run.sh"));
    WriteScript(tree, "scripts/deps.sh", "echo 'Installing: nothing'\n");
    WriteScript(tree, "stand-ins/cmake",
                "echo \"$*\" >>\"$CMAKE_CALLS\"\necho '-- Configuring done'\n"
                "echo 'ninja: no work to do.'\n");
    WriteScript(tree, "build/bin/corvix-cli", "echo \"forecast $*\"\n");
    const std::string calls = tree.File("cmake-calls");

    const CommandResult result = RunCommand(
        "env -u DISPLAY -u WAYLAND_DISPLAY -u CORVALITH_WERROR CMAKE_CALLS=" + ShellQuote(calls) +
        " PATH=" + ShellQuote(tree.File("stand-ins")) + ":\"$PATH\" " +
        ShellQuote(tree.File("scripts/run.sh")));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "forecast predict data/sample-history.csv\n");
    EXPECT_EQ(ReadFile(calls),
              "--preset dev -DCORVALITH_WERROR=OFF\n"
              "--build --preset dev --target corvix corvix-cli\n");
}

}  // namespace
}  // namespace corvalith
