// A WAData that owns a copy of some values (array-new, as the pipeline and
// the filters expect of the series they may replace) for one test.
#pragma once

#include <algorithm>
#include <vector>

#include "dsp/wa_data.h"

namespace corvalith::testing {

struct OwnedSeries {
    explicit OwnedSeries(const std::vector<double>& values)
        : data{new double[values.size()], static_cast<std::uint32_t>(values.size()), 1} {
        std::copy(values.begin(), values.end(), data.samples);
    }
    ~OwnedSeries() { ReleaseSamples(data); }
    OwnedSeries(const OwnedSeries&) = delete;
    OwnedSeries& operator=(const OwnedSeries&) = delete;

    WAData data;
};

}  // namespace corvalith::testing
