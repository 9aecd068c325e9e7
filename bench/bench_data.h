// Histories the benchmarks share: the generated million-draw history, made
// once with the project's generator into the build tree and kept there.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace corvalith::bench {

inline const std::string& MillionDrawHistory() {
    static const std::string path = [] {
        const std::string dir = CORVALITH_BENCH_DATA;
        const std::string file = dir + "/history-1000000.csv";
        if (!std::filesystem::exists(file)) {
            std::filesystem::create_directories(dir);
            const std::string command = std::string("python3 '") + CORVALITH_GENERATOR +
                                        "' --draws 1000000 --seed 7 --output '" + file + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        return file;
    }();
    return path;
}

}  // namespace corvalith::bench
