#include "core/clock.h"

namespace {
std::string Format(const char* format, const std::tm& when) {
    // Locale date and time texts are short; an empty result means it did not fit.
    char text[128];
    const std::size_t n = std::strftime(text, sizeof text, format, &when);
    return std::string(text, n);
}
}  // namespace

std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string DateText(const std::tm& when) { return Format("%x", when); }

std::string TimeText(const std::tm& when) { return Format("%X", when); }
