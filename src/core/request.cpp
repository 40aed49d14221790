#include "core/request.h"

char FrameChecksum(const std::uint8_t* frame, int length) {
    std::uint8_t sum = 0;
    for (int i = 0; i <= length - 3; ++i) sum = static_cast<std::uint8_t>(sum + frame[i]);
    return static_cast<char>((sum & 0x3F) + 0x20);
}
