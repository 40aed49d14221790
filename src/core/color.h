#pragma once
// Colours as the program states them: 0x00BBGGRR, blue in the high byte.
// Values with the top bit set name a system colour (index in the low byte).
#include <cstdint>

using TColor = std::uint32_t;

inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnHighlight = 0x80000014;

struct Rgb {
    std::uint8_t r, g, b;
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

constexpr bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

// Plain colours only; system colours come from the toolkit's palette.
constexpr Rgb ToRgb(TColor c) {
    return Rgb{static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
               static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}
