#include "core/time_label.h"

std::string TimeOfDayLabel(std::time_t when) {
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr) return {};
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, "%X", &local);
    return std::string(text, n);
}
