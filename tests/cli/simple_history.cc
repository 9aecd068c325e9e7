// Splits each line at its commas and takes the digits of fields 1 and 4.
#include "tests/cli/simple_history.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/temp_dir.h"

namespace corvalith::testing {

SimpleHistory ReadSimpleHistory(const std::string& path) {
    SimpleHistory history;
    std::istringstream lines(ReadFile(path));
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
        EXPECT_GE(fields.size(), 5u) << line;
        if (fields.size() < 5) break;
        std::int64_t number = 0;
        for (const char c : fields[0]) {
            if (c >= '0' && c <= '9') number = number * 10 + (c - '0');
        }
        history.numbers.push_back(number);
        std::string result = fields[3];
        if (result.size() < 4) result.insert(0, 4 - result.size(), '0');
        for (std::size_t p = 0; p < 4; ++p) {
            const char c = result[p];
            history.digits[p].push_back(c >= '0' && c <= '9' ? c - '0' : -1);
        }
    }
    return history;
}

}  // namespace corvalith::testing
