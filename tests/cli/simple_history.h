// An independent reading of simple histories for the CLI tests: unquoted
// fields, 第N回 in field 1 and the result in field 4, as the generator writes
// them. It checks the reports against numbers computed without the reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvalith::testing {

struct SimpleHistory {
    std::vector<std::int64_t> numbers;       // N of each 第N回, file order
    std::array<std::vector<int>, 4> digits;  // thousands first; -1 for a non-digit
};

// Reads `path`; an unparsable line ends the test with a failure.
SimpleHistory ReadSimpleHistory(const std::string& path);

}  // namespace corvalith::testing
