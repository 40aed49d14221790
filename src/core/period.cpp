#include "core/period.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>

#include "core/exception.h"

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// sign? digits* ('.' digits*)? (e sign? digits+)? with at least one mantissa digit.
bool IsDecimal(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exp = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++exp;
        if (exp == 0) return false;
    }
    return i == s.size();
}
}  // namespace

double StrToFloat(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    const std::string s = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    if (!IsDecimal(s)) throw EConvertError("'" + text + "' is not a valid floating point value");
    // The checked text uses '.', so read it in the C locale's terms whatever the user's is.
    const char* point = std::localeconv()->decimal_point;
    std::string c = s;
    if (point != nullptr && point[0] != '.' && point[0] != '\0')
        for (char& ch : c)
            if (ch == '.') ch = point[0];
    errno = 0;
    const double v = std::strtod(c.c_str(), nullptr);
    if (!std::isfinite(v)) throw EConvertError("'" + text + "' is not a valid floating point value");
    return v;
}

int PeriodToInterval(double seconds) {
    // 1.001 * 1000 is 1000.9999999999999 in binary: a hair of slack keeps the
    // millisecond the text names, far below anything that would round up 2.9999.
    const double ms = std::floor(seconds * 1000.0 + 1e-6);
    if (!(ms >= 1.0)) return 1;
    if (ms >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(ms);
}
