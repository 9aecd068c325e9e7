// corvix-cli: the forecast and its evaluation from the command line.
#include <unistd.h>

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        // Progress lines only for a person watching a terminal.
        const bool progress = isatty(STDERR_FILENO) == 1;
        const int status = corvalith::RunCli(args, std::cout, std::cerr, progress);
        std::cout.flush();
        return std::cout.good() ? status : corvalith::kExitInternal;
    } catch (const std::exception& e) {
        std::cerr << "corvix-cli: " << e.what() << '\n';
        return corvalith::kExitInternal;
    }
}
