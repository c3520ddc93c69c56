#pragma once

#include <algorithm>
#include <vector>

// The middle of a benchmark's figures (the upper middle of an even count); 0 for none.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}
