#include "core/value_line.h"

#include <locale.h>

#include <cstdio>

namespace {
// The C locale, made once; the toolkit switches the process to the user's
// locale at start, whose decimal point may be a comma.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Restores the thread's previous locale however the scan ends.
class ScopedLocale {
public:
    explicit ScopedLocale(locale_t l) : previous_(l != nullptr ? uselocale(l) : nullptr) {}
    ~ScopedLocale() {
        if (previous_ != nullptr) uselocale(previous_);
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    locale_t previous_;
};
}  // namespace

std::optional<float> ScanValueLine(const char* text) {
    if (text == nullptr || text[0] != '>') return std::nullopt;
    float value = 0;
    int read;
    {
        ScopedLocale c(CLocale());
        read = std::sscanf(text, ">%f", &value);
    }
    if (read != 1) return std::nullopt;
    return value;
}
