#pragma once
// Date and time texts for the terminal stamps, in the C library's current
// LC_TIME locale (the application sets it from the user's environment).
#include <ctime>
#include <string>

// The current local date and time.
std::tm LocalNow();
// Short date as the locale writes it (strftime "%x").
std::string DateText(const std::tm& when);
// Time of day with seconds as the locale writes it (strftime "%X").
std::string TimeText(const std::tm& when);
