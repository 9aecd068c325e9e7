// The main of every test program. Before any test runs it points the home
// and the XDG directories at one directory under the build tree, so nothing
// a test starts (Qt, the window, the command line, child processes) can read
// or write the real user's configuration, caches or runtime directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#ifndef CORVALITH_TEST_HOME
#error "CORVALITH_TEST_HOME names the tests' home directory"
#endif

namespace {

void UseTestHome() {
    namespace fs = std::filesystem;
    const fs::path root = CORVALITH_TEST_HOME;
    const struct {
        const char* variable;
        const char* folder;
    } places[] = {
        {"HOME", "home"},          {"XDG_CONFIG_HOME", "config"}, {"XDG_CACHE_HOME", "cache"},
        {"XDG_DATA_HOME", "data"}, {"XDG_STATE_HOME", "state"},   {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto& place : places) {
        const fs::path dir = root / place.folder;
        std::error_code ignored;
        fs::create_directories(dir, ignored);
        // Qt accepts a runtime directory only when it is private.
        fs::permissions(dir, fs::perms::owner_all, ignored);
        ::setenv(place.variable, dir.c_str(), 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    UseTestHome();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
