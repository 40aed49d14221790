#pragma once
// Spacing of the point labels along the horizontal axis.
#include <cstdint>

// The smallest step of the ladder 1, 2, 5, 10, 20, 60, 120, 300, 600, 1800,
// 3600, 7200, 21600, 43200, 86400 points (then 2x, 5x, 10x ... a day) at which
// labels of labelWidth pixels, pixelsPerPoint apart, do not overlap.
std::int64_t ChooseTickStep(double pixelsPerPoint, double labelWidth);
