#include <gtest/gtest.h>

#include "core/request.h"

TEST(FrameChecksum, RequestFrameGivesOpenBracketWhateverStandsInItsLastTwoBytes) {
    RequestFrameBytes frame = kInitialRequestFrame;
    EXPECT_EQ(FrameChecksum(frame.data(), 9), '[');
    frame[7] = 0xFF;
    frame[8] = 0x00;
    EXPECT_EQ(FrameChecksum(frame.data(), 9), '[');
}

TEST(FrameChecksum, SumWrapsAtEightBitsAndKeepsSixBits) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        char expected;
    };
    const Case cases[] = {
        {{}, ' '},                             // shorter than three: nothing added
        {{0x7B, 0x0D}, ' '},                   //
        {{0x41, 0x00, 0x00}, 0x41 % 64 + 32},  // one byte counted
        {{0xFF, 0x02, 0, 0}, 0x01 + 32},       // 0x101 wraps to 0x01
        {std::vector<std::uint8_t>(300, 0xFF), static_cast<char>((298 * 255 % 256) % 64 + 32)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameChecksum(c.bytes.data(), static_cast<int>(c.bytes.size())), c.expected)
            << "length " << c.bytes.size();
}
