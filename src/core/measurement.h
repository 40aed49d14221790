#pragma once
// One parsed response frame, its fields in frame order.
#include <cstdint>

struct TMeasurement {
    char Byte0;
    char Byte1;
    char Chars2[2];
    char Chars4[3];
    std::int32_t Number8;
    float Humidity;
    char Chars19[3];
    std::int32_t Number23;
    char Byte27;
    float Temperature;
    char Chars36[2];
    std::int32_t Number39;
    char Byte43;
};
