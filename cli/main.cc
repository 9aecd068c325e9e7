// corvix-cli: the forecast and its evaluation from the command line.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "cli/failure_line.h"
#include "cli/output_stream.h"
#include "commands/messages.h"

int main(int argc, char** argv) {
    // Standard output through write(2), so that a failed write is seen and named.
    corvalith::FdOutput output(STDOUT_FILENO);
    std::ostream out(&output);
    std::vector<std::string> args;
    try {
        args.assign(argv + 1, argv + argc);
    } catch (...) {  // copying the arguments can only run out of memory
        corvalith::WriteFailureLine(std::cerr, {corvalith::kMsgOutOfMemory});
        return corvalith::kExitInternal;
    }
    // Progress lines only for a person watching a terminal.
    const bool progress = isatty(STDERR_FILENO) == 1;
    return corvalith::RunCli(args, out, std::cerr, progress);
}
