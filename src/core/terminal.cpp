#include "core/terminal.h"

#include <limits>

#include "core/clock.h"

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsPrintable(std::uint8_t b) { return b >= 0x20 && b <= 0x7F; }
}  // namespace

long TriggerValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return kDefaultTrigger;  // no digits
    // Kept in 64 bits and checked per digit so that long texts cannot overflow.
    constexpr long long kLimit = std::numeric_limits<std::int32_t>::max();
    long long value = 0;
    for (; i < text.size(); ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0 || d >= base) return kDefaultTrigger;
        value = value * base + d;
        if (value > kLimit + 1) return kDefaultTrigger;
    }
    if (negative) value = -value;
    if (value > kLimit || value < -kLimit - 1) return kDefaultTrigger;
    return static_cast<long>(value);
}

std::string StampText(bool dateStamp, bool timeStamp, const std::tm& now) {
    std::string stamp;
    if (dateStamp) stamp = DateText(now) + " ";
    if (timeStamp) {
        if (dateStamp)
            stamp += " - " + TimeText(now) + " ";
        else
            stamp = TimeText(now) + " ";
    }
    return stamp;
}

void AppendChunkText(std::string& out, const std::uint8_t* bytes, std::size_t size,
                     const TerminalSettings& settings, bool& stampPending) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = bytes[i];
        const bool trigger = settings.lineBreaks && settings.trigger == b;
        if (IsPrintable(b)) {
            out.push_back(static_cast<char>(b));
        } else if (!trigger) {
            const char escape[4] = {'[', kHex[b >> 4], kHex[b & 0x0F], ']'};
            out.append(escape, sizeof escape);
        }
        if (trigger) {
            stampPending = true;
            out.push_back('\r');
        }
    }
}

void RenderChunk(std::string& out, const std::uint8_t* bytes, std::size_t size,
                 const TerminalSettings& settings, bool& stampPending, const std::tm& now) {
    out.clear();
    if (settings.lineBreaks && stampPending) {
        stampPending = false;
        out = StampText(settings.dateStamp, settings.timeStamp, now);
    }
    AppendChunkText(out, bytes, size, settings, stampPending);
}
