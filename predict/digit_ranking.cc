// Stable ranking with a strict greater-than, and the result text.
#include "predict/digit_ranking.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace corvalith {

std::array<int, kDigits> RankDigits(const std::array<double, kDigits>& scores) {
    std::array<int, kDigits> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&scores](int a, int b) { return scores[a] > scores[b]; });
    return order;
}

std::string FormatRanking(const std::array<int, kDigits>& ranking) {
    // Appended to a string, which throws when memory runs out: a string
    // stream would set its bad bit instead and hand back a cut text.
    std::string text = kResultPrefix;
    for (int i = 0; i < kDigits; ++i) {
        if (i != 0) text += ", ";
        text += std::to_string(ranking[i]);
    }
    return text;
}

}  // namespace corvalith
