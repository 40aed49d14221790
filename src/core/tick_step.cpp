#include "core/tick_step.h"

#include <cmath>
#include <initializer_list>

std::int64_t ChooseTickStep(double pixelsPerPoint, double labelWidth) {
    static constexpr std::int64_t kLadder[] = {1,   2,    5,    10,   20,    60,    120,  300,
                                               600, 1800, 3600, 7200, 21600, 43200, 86400};
    static constexpr std::int64_t kLargest = std::int64_t{1} << 52;
    if (!(pixelsPerPoint > 0) || !std::isfinite(pixelsPerPoint)) return kLargest;
    if (!(labelWidth > 0)) return 1;
    const double needed = labelWidth / pixelsPerPoint;
    for (std::int64_t step : kLadder)
        if (static_cast<double>(step) >= needed) return step;
    // Beyond a day: 1-2-5 multiples of a day.
    for (std::int64_t decade = 86400; decade < kLargest / 10; decade *= 10)
        for (std::int64_t m : {std::int64_t{2}, std::int64_t{5}, std::int64_t{10}})
            if (static_cast<double>(decade * m) >= needed) return decade * m;
    return kLargest;
}
