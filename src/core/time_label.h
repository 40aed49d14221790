#pragma once
// The time-of-day text that labels a chart point.
#include <ctime>
#include <string>

// strftime("%X") of the local time: the locale's time with seconds (and an
// AM/PM marker where the locale has one), no date, no time zone.
std::string TimeOfDayLabel(std::time_t when);
