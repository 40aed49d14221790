#pragma once
// The request period: text of seconds to a timer interval in milliseconds.
#include <string>

// The text as a decimal number ("1", "0.5", "2.9999", "1e-1"; surrounding spaces
// allowed, a full stop as decimal point). Anything else, "nan" and "inf"
// included, throws EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const std::string& text);

// Seconds to whole milliseconds, truncated (2.9999 -> 2999) but not cut below a
// millisecond the decimal text names exactly (1.001 -> 1001), and held within
// what a timer takes.
int PeriodToInterval(double seconds);
