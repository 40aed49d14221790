// Random chunks through terminal rendering, frame assembly and frame parsing,
// with random toggles and trigger text. Input layout:
//   byte 0: bit 0 line breaks, bit 1 date stamp, bit 2 time stamp, bit 3 stamp pending
//   byte 1: length n of the trigger text (mod 16), then n bytes of trigger text
//   then chunks, each a length byte (chunk size = value * 9, up to 2295) and its bytes.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/frame.h"
#include "core/terminal.h"
#include "support/fixed_time.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    TerminalSettings settings;
    settings.lineBreaks = data[0] & 1;
    settings.dateStamp = data[0] & 2;
    settings.timeStamp = data[0] & 4;
    bool stampPending = data[0] & 8;
    std::size_t pos = 2;
    const std::size_t triggerLen = std::min<std::size_t>(data[1] % 16, size - pos);
    settings.trigger = TriggerValue(std::string_view(reinterpret_cast<const char*>(data + pos), triggerLen));
    pos += triggerLen;

    FrameBuffer buf{};
    std::uint32_t len = 0;
    TMeasurement record{};
    std::string text;
    const std::tm now = FixedTime();
    while (pos < size) {
        const std::size_t wanted = data[pos++] * 9u;
        const std::size_t chunk = std::min(wanted, size - pos);
        const std::uint8_t* bytes = data + pos;
        pos += chunk;

        AssembleFrames(bytes, chunk, buf, len, [&](const std::uint8_t* frame) {
            Check(frame == buf.data() && frame[0] == kFrameStart);
            const ParsedFrame parsed = ParseFrame(frame);
            StoreFrame(parsed, record, [](PointKind, float v) { Check(std::isfinite(v)); });
            if (!parsed.humidityChartable) Check(record.Humidity == 0);
            if (!parsed.temperatureChartable) Check(record.Temperature == 0);
        });
        Check(len < buf.size() || len == kNoFrame);

        const bool pendingBefore = stampPending;
        RenderChunk(text, bytes, chunk, settings, stampPending, now);
        Check(text.size() <= chunk * kMaxTextPerByte + 64);
        Check(std::memchr(text.data(), 0, text.size()) == nullptr);
        if (!settings.lineBreaks) Check(stampPending == pendingBefore);
    }
    return 0;
}
