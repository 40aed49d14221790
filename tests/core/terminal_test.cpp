#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/clock.h"
#include "core/terminal.h"
#include "support/fixed_time.h"
#include "test_locale.h"

namespace {
using Bytes = std::vector<std::uint8_t>;

std::string Render(const Bytes& bytes, const TerminalSettings& s, bool& stampPending) {
    std::string out = "left over";
    RenderChunk(out, bytes.data(), bytes.size(), s, stampPending, FixedTime());
    return out;
}
}  // namespace

TEST(TerminalText, ChunksShowAsTheTerminalWritesThem) {
    TerminalSettings defaults;
    TerminalSettings breaksOff;
    breaksOff.lineBreaks = false;
    TerminalSettings printableTrigger;
    printableTrigger.trigger = 0x3E;
    TerminalSettings triggerThree;
    triggerThree.trigger = TriggerValue("0xZZ");
    struct Case {
        const char* name;
        Bytes bytes;
        TerminalSettings settings;
        std::string text;
        bool stampPendingAfter;  // starting from false
    };
    const Case cases[] = {
        {"worked example", {0x41, 0x42, 0x0D, 0x0A, 0x31, 0x07, 0xB0, 0x7F}, defaults,
         "AB\r[0A]1[07][B0]\x7F", true},
        {"worked example, breaks off", {0x41, 0x42, 0x0D, 0x0A, 0x31, 0x07, 0xB0, 0x7F}, breaksOff,
         "AB[0D][0A]1[07][B0]\x7F", false},
        {"control bytes only", {0x02, 0x0D, 0x03}, defaults, "[02]\r[03]", true},
        {"edges of the printable range", {0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xFF, 0x00}, defaults,
         std::string("[1F] ~\x7F[80][FF][00]"), false},
        {"printable trigger kept before its break", {'a', '>', 'b'}, printableTrigger, "a>\rb", true},
        {"malformed trigger text means 0x03", {0x03, 0x0D}, triggerThree, "\r[0D]", true},
        {"no bytes", {}, defaults, "", false},
    };
    for (const Case& c : cases) {
        bool pending = false;
        EXPECT_EQ(Render(c.bytes, c.settings, pending), c.text) << c.name;
        EXPECT_EQ(pending, c.stampPendingAfter) << c.name;
    }
}

TEST(TerminalText, WithBreaksOffAPendingStampStaysPendingAndIsNotWritten) {
    TerminalSettings s;
    s.lineBreaks = false;
    s.dateStamp = s.timeStamp = true;
    bool pending = true;
    EXPECT_EQ(Render({0x0D, 'D'}, s, pending), "[0D]D");
    EXPECT_TRUE(pending);
}

TEST(TerminalText, StampOpensOnlyTheChunkAfterATrigger) {
    ScopedLocale c("C");
    TerminalSettings s;
    s.dateStamp = s.timeStamp = true;
    bool pending = false;
    // Two triggers in one chunk: no stamp inside it, one stamp at the next chunk.
    EXPECT_EQ(Render({'x', 0x0D, 'y', 0x0D}, s, pending), "x\ry\r");
    EXPECT_TRUE(pending);
    EXPECT_EQ(Render({'D'}, s, pending), "10/24/13  - 14:05:09 D");
    EXPECT_FALSE(pending);
    EXPECT_EQ(Render({'E'}, s, pending), "E");
}

TEST(TerminalText, StampFormsFollowTheToggles) {
    ScopedLocale c("C");
    struct Case {
        bool date, time;
        std::string text;
    };
    const Case cases[] = {
        {true, true, "10/24/13  - 14:05:09 D"},
        {true, false, "10/24/13 D"},
        {false, true, "14:05:09 D"},
        {false, false, "D"},
    };
    for (const Case& k : cases) {
        TerminalSettings s;
        s.dateStamp = k.date;
        s.timeStamp = k.time;
        bool pending = true;
        EXPECT_EQ(Render({'D'}, s, pending), k.text) << k.date << k.time;
        EXPECT_FALSE(pending) << "cleared even when nothing is written";
    }
}

TEST(TerminalText, StampUsesTheUsersDateAndTimeFormats) {
    REQUIRE_FRENCH_LOCALE(guard);
    TerminalSettings s;
    s.dateStamp = s.timeStamp = true;
    bool pending = true;
    EXPECT_EQ(Render({0x44}, s, pending), "24/10/2013  - 14:05:09 D");
    EXPECT_EQ(DateText(FixedTime()), "24/10/2013");
    EXPECT_EQ(TimeText(FixedTime()), "14:05:09");
}

TEST(TerminalText, ZeroBytesStillCarryAPendingStamp) {
    ScopedLocale c("C");
    TerminalSettings s;
    s.timeStamp = true;
    bool pending = true;
    EXPECT_EQ(Render({}, s, pending), "14:05:09 ");
    EXPECT_FALSE(pending);
}

TEST(TerminalText, TriggerOutsideTheByteRangeMatchesNothing) {
    for (long trigger : {-1L, 256L, 0x10DL}) {
        TerminalSettings s;
        s.trigger = trigger;
        bool pending = false;
        EXPECT_EQ(Render({0x0D, 0xFF, 0x0D}, s, pending), "[0D][FF][0D]") << trigger;
        EXPECT_FALSE(pending);
    }
}

TEST(TriggerValue, ReadsDecimalAndHexNumbersAndFallsBackToThree) {
    struct Case {
        const char* text;
        long value;
    };
    const Case cases[] = {
        {"0x0D", 13},        {"0X0d", 13},    {"0xff", 255},       {"13", 13},      {"  0x3E", 62},
        {"\t62", 62},        {"0", 0},        {"0x00", 0},         {"-1", -1},      {"+13", 13},
        {"0x100", 256},      {"300", 300},    {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Malformed: 3.
        {"", 3},             {"0x", 3},       {"0xZZ", 3},         {"0x0D ", 3},    {"13a", 3},
        {"x0D", 3},          {"0x_D", 3},     {"   ", 3},          {"-", 3},        {"1 3", 3},
        {"2147483648", 3},   {"0x1FFFFFFFFFFFFFFFFFFFF", 3},       {"0d", 3},
    };
    for (const Case& c : cases) EXPECT_EQ(TriggerValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(TerminalText, WorstCaseStaysWithinFourCharactersPerByte) {
    Bytes all(2048);
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(0x80 + i % 0x20);
    TerminalSettings s;
    bool pending = false;
    EXPECT_EQ(Render(all, s, pending).size(), all.size() * kMaxTextPerByte);
}
