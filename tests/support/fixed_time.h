#pragma once
// The clock reading that tests and the fuzzer stamp with: 24 October 2013, 14:05:09.
#include <ctime>

inline std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 113;
    t.tm_mon = 9;
    t.tm_mday = 24;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_wday = 4;
    t.tm_yday = 296;
    return t;
}
