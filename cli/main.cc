// corvix-cli: the forecast from the command line.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_run.h"

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        const int status = corvalith::RunCli(args, std::cout, std::cerr);
        std::cout.flush();
        return std::cout.good() ? status : corvalith::kExitInternal;
    } catch (const std::exception& e) {
        std::cerr << "corvix-cli: " << e.what() << '\n';
        return corvalith::kExitInternal;
    }
}
