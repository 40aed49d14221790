#pragma once
// The request frame sent to the transmitter and its checksum character.
#include <array>
#include <cstdint>

inline constexpr std::size_t kRequestFrameSize = 9;
using RequestFrameBytes = std::array<std::uint8_t, kRequestFrameSize>;

// "{F00RDD", the checksum place (0 until the first request) and the carriage return.
inline constexpr RequestFrameBytes kInitialRequestFrame = {0x7B, 0x46, '0', '0', 'R', 'D', 'D', 0x00, 0x0D};

// Sum of bytes 0..length-3 modulo 256, low six bits, plus 0x20. A frame of
// fewer than three bytes gives ' '.
char FrameChecksum(const std::uint8_t* frame, int length);
