// corvix --version: the project version on stdout, from any position on the
// command line, without a display and without a window.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/history_files.h"

namespace corvalith::testing {
namespace {

TEST(CorvixVersion, PrintsTheProjectVersionWithoutADisplay) {
    const std::string expected = std::string("corvix ") + CORVALITH_PROJECT_VERSION + "\n";
    const std::string headless = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    for (const char* arguments : {" --version", " -style fusion --version"}) {
        const CommandResult result = RunCommand(headless + ShellQuote(CORVIX_BIN) + arguments);
        EXPECT_EQ(result.exitCode, 0) << arguments << ": " << result.err;
        EXPECT_EQ(result.out, expected) << arguments;
        EXPECT_TRUE(result.err.empty()) << arguments << ": " << result.err;
    }
}

}  // namespace
}  // namespace corvalith::testing
