#include "core/frame.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace {
// Frames always use a full stop, whatever locale the application runs in.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c;
}

// A field as zero-terminated text: copied into a zeroed scratch area, so the
// text ends after the field or at a zero byte inside it.
struct Scratch {
    char text[10]{};
    Scratch(const std::uint8_t* field, std::size_t length) {
        std::memcpy(text, field, std::min(length, sizeof text - 1));
    }
};
}  // namespace

bool StoreFrameByte(FrameBuffer& buf, std::uint32_t& len, std::uint8_t byte) {
    if (byte == kFrameStart) {
        buf[0] = byte;
        len = 1;
        return false;
    }
    // Outside a frame (before the first brace, after a CR, after a frame that
    // filled the buffer) a byte belongs to no frame and is dropped.
    if (len == 0 || len >= buf.size()) return false;
    const std::uint32_t offset = len;
    buf[offset] = byte;
    len = offset + 1;
    if (byte != kFrameEnd) {
        if (len == buf.size()) len = kNoFrame;
        return false;
    }
    len = kNoFrame;
    return offset >= kFrameFieldsLength;
}

std::int32_t ReadIntegerField(const std::uint8_t* field, std::size_t length) {
    const Scratch s(field, length);
    return static_cast<std::int32_t>(strtol_l(s.text, nullptr, 10, CLocale()));
}

DecimalField ReadDecimalField(const std::uint8_t* field, std::size_t length) {
    const Scratch s(field, length);
    char* end = nullptr;
    const double d = strtod_l(s.text, &end, CLocale());
    // Out-of-range and NaN/infinity texts would chart a value never measured.
    if (end == s.text || !(std::fabs(d) <= FLT_MAX)) return {};
    return {static_cast<float>(d), true};
}

ParsedFrame ParseFrame(const std::uint8_t* frame) {
    ParsedFrame p;
    TMeasurement& m = p.fields;
    const auto byteAt = [frame](std::size_t i) { return static_cast<char>(frame[i]); };
    m.Byte0 = byteAt(0);
    m.Byte1 = byteAt(1);
    std::memcpy(m.Chars2, frame + 2, sizeof m.Chars2);
    std::memcpy(m.Chars4, frame + 4, sizeof m.Chars4);
    m.Number8 = ReadIntegerField(frame + 8, 3);
    const DecimalField humidity = ReadDecimalField(frame + 12, 6);
    m.Humidity = humidity.value;
    p.humidityChartable = humidity.chartable;
    std::memcpy(m.Chars19, frame + 19, sizeof m.Chars19);
    m.Number23 = ReadIntegerField(frame + 23, 3);
    m.Byte27 = byteAt(27);
    const DecimalField temperature = ReadDecimalField(frame + 29, 6);
    m.Temperature = temperature.value;
    p.temperatureChartable = temperature.chartable;
    std::memcpy(m.Chars36, frame + 36, sizeof m.Chars36);
    m.Number39 = ReadIntegerField(frame + 39, 3);
    m.Byte43 = byteAt(43);
    return p;
}
