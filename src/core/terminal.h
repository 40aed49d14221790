#pragma once
// Received bytes as terminal text: printable bytes as they are, others as
// "[XX]" escapes, a line break after each trigger byte and a date/time stamp
// at the start of the chunk after one that held a trigger byte.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

// What a trigger text that does not read as a number stands for.
inline constexpr long kDefaultTrigger = 3;

// Reads the trigger text: leading blanks, an optional sign, then "0x"/"0X" and
// hex digits or plain decimal digits, and nothing after them. Anything else,
// or a number beyond 32 bits, gives kDefaultTrigger.
long TriggerValue(std::string_view text);

struct TerminalSettings {
    bool lineBreaks = true;   // break (and arm the stamp) at each trigger byte
    bool dateStamp = false;   // the stamp holds the date
    bool timeStamp = false;   // the stamp holds the time
    long trigger = 0x0D;      // compared with each byte's value 0..255
};

// The stamp for the given toggles: "D ", "T " or "D  - T ", empty when both are off.
std::string StampText(bool dateStamp, bool timeStamp, const std::tm& now);

// Most display characters one received byte can produce ("[XX]").
inline constexpr std::size_t kMaxTextPerByte = 4;

// Appends the display text of `size` bytes to `out`. Each trigger byte sets
// `stampPending` while line breaks are on.
void AppendChunkText(std::string& out, const std::uint8_t* bytes, std::size_t size,
                     const TerminalSettings& settings, bool& stampPending);

// The whole display text of one chunk into `out` (replacing what it held): the
// stamp when one is pending and line breaks are on (clearing `stampPending`
// even if both stamp toggles are off), then the bytes.
void RenderChunk(std::string& out, const std::uint8_t* bytes, std::size_t size,
                 const TerminalSettings& settings, bool& stampPending, const std::tm& now);
