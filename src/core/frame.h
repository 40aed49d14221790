#pragma once
// Response frames: bytes collected from an opening brace up to a carriage
// return, then read at fixed offsets into a TMeasurement.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "core/measurement.h"

inline constexpr std::uint8_t kFrameStart = 0x7B;  // '{'
inline constexpr std::uint8_t kFrameEnd = 0x0D;    // CR

using FrameBuffer = std::array<std::uint8_t, 1000>;

// Write position meaning "no frame open": bytes are dropped until the next
// brace. Set after each CR and when a frame fills the whole buffer; the
// start-up position 0 means the same, as no brace has been seen yet.
inline constexpr std::uint32_t kNoFrame = static_cast<std::uint32_t>(FrameBuffer{}.size());

// The fields end at offset 43, so a frame's CR must stand at offset 44 or later.
inline constexpr std::uint32_t kFrameFieldsLength = 44;

// Takes one received byte into the frame buffer. Returns true when the byte is
// the CR of a frame that began with a brace and is long enough to hold every
// field; the frame then stands at the start of `buf`.
bool StoreFrameByte(FrameBuffer& buf, std::uint32_t& len, std::uint8_t byte);

// Feeds `size` bytes in order, calling onFrame(buf.data()) for every complete
// frame before the next byte is looked at.
template <class OnFrame>
void AssembleFrames(const std::uint8_t* bytes, std::size_t size, FrameBuffer& buf, std::uint32_t& len,
                    OnFrame&& onFrame) {
    for (std::size_t i = 0; i < size; ++i)
        if (StoreFrameByte(buf, len, bytes[i])) onFrame(buf.data());
}

// Integer field as atol reads it (C locale): blanks, a sign, decimal digits.
std::int32_t ReadIntegerField(const std::uint8_t* field, std::size_t length);

struct DecimalField {
    float value = 0;         // 0 when not chartable
    bool chartable = false;  // begins with a number that is finite as a float
};
// Decimal field as strtod reads it in the C locale, narrowed to the nearest float.
DecimalField ReadDecimalField(const std::uint8_t* field, std::size_t length);

struct ParsedFrame {
    TMeasurement fields{};
    bool humidityChartable = false;
    bool temperatureChartable = false;
};
// Reads offsets 0 to 43 of a frame.
ParsedFrame ParseFrame(const std::uint8_t* frame);

enum class PointKind { Humidity, Temperature };

// Copies a parsed frame into `record` field by field in frame order, handing
// each chartable value to addPoint(kind, value) right after its field is
// stored: humidity before Chars19, temperature after Temperature.
template <class AddPoint>
void StoreFrame(const ParsedFrame& parsed, TMeasurement& record, AddPoint&& addPoint) {
    const TMeasurement& f = parsed.fields;
    record.Byte0 = f.Byte0;
    record.Byte1 = f.Byte1;
    std::copy(std::begin(f.Chars2), std::end(f.Chars2), record.Chars2);
    std::copy(std::begin(f.Chars4), std::end(f.Chars4), record.Chars4);
    record.Number8 = f.Number8;
    record.Humidity = f.Humidity;
    if (parsed.humidityChartable) addPoint(PointKind::Humidity, record.Humidity);
    std::copy(std::begin(f.Chars19), std::end(f.Chars19), record.Chars19);
    record.Number23 = f.Number23;
    record.Byte27 = f.Byte27;
    record.Temperature = f.Temperature;
    if (parsed.temperatureChartable) addPoint(PointKind::Temperature, record.Temperature);
    std::copy(std::begin(f.Chars36), std::end(f.Chars36), record.Chars36);
    record.Number39 = f.Number39;
    record.Byte43 = f.Byte43;
}
