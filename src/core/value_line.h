#pragma once
// The value line: received text that begins with '>' and a number.
#include <optional>

// Reads text as sscanf(text, ">%f") does in the C locale (a full stop is the
// decimal point whatever locale the program runs in). Only the very start of
// the text counts. Gives the value when exactly one was read; null text gives none.
std::optional<float> ScanValueLine(const char* text);
