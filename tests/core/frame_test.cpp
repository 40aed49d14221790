#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/frame.h"
#include "test_locale.h"

namespace {
// The 45-byte frame whose every field has a known reading.
const std::string kFrame = "{A01XYZ 123 045.60 abc 007 Q +21.75 PQ -45 Z\r";

// A frame with the given humidity and temperature texts (six characters each).
std::string FrameWith(const std::string& humidity, const std::string& temperature) {
    std::string f = kFrame;
    f.replace(12, 6, humidity);
    f.replace(29, 6, temperature);
    return f;
}

using Point = std::pair<PointKind, float>;

// Frame assembly as the window runs it, with the points recorded instead of charted.
struct Receiver {
    FrameBuffer buf{};
    std::uint32_t len = 0;
    TMeasurement record{};
    std::vector<Point> points;
    int parses = 0;

    void Feed(const std::string& chunk) {
        AssembleFrames(reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size(), buf, len,
                       [this](const std::uint8_t* frame) {
                           ++parses;
                           StoreFrame(ParseFrame(frame), record,
                                      [this](PointKind k, float v) { points.emplace_back(k, v); });
                       });
    }
};

constexpr PointKind H = PointKind::Humidity;
constexpr PointKind T = PointKind::Temperature;
}  // namespace

TEST(Frame, FortyFiveByteFrameGivesEveryField) {
    ASSERT_EQ(kFrame.size(), 45u);
    Receiver r;
    r.Feed(kFrame);
    const TMeasurement& m = r.record;
    EXPECT_EQ(m.Byte0, '{');
    EXPECT_EQ(m.Byte1, 'A');
    EXPECT_EQ(std::string(m.Chars2, 2), "01");
    EXPECT_EQ(std::string(m.Chars4, 3), "XYZ");
    EXPECT_EQ(m.Number8, 123);
    EXPECT_EQ(m.Humidity, 45.6f);
    EXPECT_EQ(static_cast<double>(m.Humidity), static_cast<double>(45.6f));  // 45.59999847...
    EXPECT_EQ(std::string(m.Chars19, 3), "abc");
    EXPECT_EQ(m.Number23, 7);
    EXPECT_EQ(m.Byte27, 'Q');
    EXPECT_EQ(m.Temperature, 21.75f);
    EXPECT_EQ(std::string(m.Chars36, 2), "PQ");
    EXPECT_EQ(m.Number39, -45);
    EXPECT_EQ(m.Byte43, 'Z');
    EXPECT_EQ(r.points, (std::vector<Point>{{H, 45.6f}, {T, 21.75f}}));
}

TEST(Frame, FramesAreParsedInOrderAndOnlyInTheChunkWithTheirCr) {
    Receiver r;
    r.Feed(FrameWith("010.00", "+01.00") + "\n" + FrameWith("020.00", "+02.00") + "\n");
    EXPECT_EQ(r.parses, 2);
    EXPECT_EQ(r.points, (std::vector<Point>{{H, 10}, {T, 1}, {H, 20}, {T, 2}}));

    // One frame over three chunks: one parse, in the third.
    r.points.clear();
    r.Feed(kFrame.substr(0, 10));
    r.Feed(kFrame.substr(10, 30));
    EXPECT_EQ(r.parses, 2);
    r.Feed(kFrame.substr(40));
    EXPECT_EQ(r.parses, 3);
    EXPECT_EQ(r.points, (std::vector<Point>{{H, 45.6f}, {T, 21.75f}}));
}

TEST(Frame, BraceMidFrameStartsANewFrame) {
    Receiver r;
    r.Feed(kFrame.substr(0, 20) + FrameWith("033.30", "-10.50"));
    EXPECT_EQ(r.parses, 1);
    EXPECT_EQ(r.points, (std::vector<Point>{{H, 33.3f}, {T, -10.5f}}));
    EXPECT_EQ(r.buf[0], '{');
    EXPECT_EQ(std::string(r.buf.begin(), r.buf.begin() + 45), FrameWith("033.30", "-10.50"));
}

// A CR charts only a frame opened by a brace since the previous CR.
TEST(FrameMends, CrWithoutAFreshBraceChartsNothing) {
    const struct {
        const char* name;
        std::string after;
    } cases[] = {
        {"lone CR", "\r"},
        {"value line", ">23.5\r"},
        {"line noise", "garbage without a brace, long enough to fill every field\r"},
        {"line feed then CR", "\n\r"},
    };
    for (const auto& c : cases) {
        Receiver r;
        r.Feed(kFrame);
        const TMeasurement before = r.record;
        r.points.clear();
        r.Feed(c.after);
        EXPECT_TRUE(r.points.empty()) << c.name;
        EXPECT_EQ(r.parses, 1) << c.name;
        EXPECT_EQ(r.record.Humidity, before.Humidity) << c.name;
        EXPECT_EQ(r.record.Number39, before.Number39) << c.name;
    }
    // Before any brace since start-up: text ending in a CR is no frame either.
    Receiver fresh;
    fresh.Feed(kFrame.substr(1));
    EXPECT_EQ(fresh.parses, 0);
}

// A frame whose CR stands before offset 44 is too short to hold the fields.
TEST(FrameMends, ShortFrameIsNotParsed) {
    Receiver r;
    r.Feed(kFrame);
    r.points.clear();
    for (std::size_t crAt : {1u, 20u, 43u}) {
        r.Feed(FrameWith("099.00", "+99.00").substr(0, crAt) + "\r");
        EXPECT_EQ(r.parses, 1) << crAt;
        EXPECT_TRUE(r.points.empty()) << crAt;
        EXPECT_EQ(r.record.Humidity, 45.6f) << "record keeps the last good frame";
    }
    // CR at offset 44 exactly (the 45-byte frame) is the shortest parsed.
    r.Feed(FrameWith("099.00", "+59.00"));
    EXPECT_EQ(r.points, (std::vector<Point>{{H, 99}, {T, 59}}));
}

// After a full buffer without a brace the frame is dropped until the next one.
TEST(FrameMends, OverlongFrameIsDroppedNotWrapped) {
    Receiver r;
    // The brace and 999 more bytes fill the buffer; the tail that follows
    // (a whole frame's worth without its brace, then a CR) must not be parsed.
    r.Feed("{" + std::string(999, 'x'));
    EXPECT_EQ(r.len, kNoFrame);
    r.Feed(kFrame.substr(1));
    EXPECT_EQ(r.parses, 0);
    EXPECT_EQ(r.buf[0], '{') << "the brace is not overwritten";
    EXPECT_EQ(r.buf[999], 'x');
    // The next brace starts afresh.
    r.Feed(kFrame);
    EXPECT_EQ(r.parses, 1);

    // A CR in the last position still ends the frame normally.
    Receiver edge;
    edge.Feed(FrameWith("050.00", "+20.00").substr(0, 44) + std::string(955, ' ') + "\r");
    EXPECT_EQ(edge.parses, 1);
    EXPECT_EQ(edge.points, (std::vector<Point>{{H, 50}, {T, 20}}));
}

// A value that is not a number, or not finite as a float, stores 0 and is not charted.
TEST(FrameMends, UnreadableValueStoresZeroAndIsNotCharted) {
    const struct {
        std::string humidity, temperature;
        std::vector<Point> points;
        float storedHumidity, storedTemperature;
    } cases[] = {
        {"abc   ", "+21.75", {{T, 21.75f}}, 0, 21.75f},
        {"045.60", "      ", {{H, 45.6f}}, 45.6f, 0},
        {"1e+99 ", "-1e+99", {}, 0, 0},
        {"inf   ", "nan   ", {}, 0, 0},
        {"1e+38 ", "1e-99 ", {{H, 1e38f}, {T, 0.0f}}, 1e38f, 0},  // tiny values are zero, still a reading
        {"+.    ", "-     ", {}, 0, 0},
    };
    for (const auto& c : cases) {
        Receiver r;
        r.record.Humidity = r.record.Temperature = 7;
        r.Feed(FrameWith(c.humidity, c.temperature));
        EXPECT_EQ(r.parses, 1);
        EXPECT_EQ(r.points, c.points) << c.humidity << '|' << c.temperature;
        EXPECT_EQ(r.record.Humidity, c.storedHumidity) << c.humidity;
        EXPECT_EQ(r.record.Temperature, c.storedTemperature) << c.temperature;
    }
}

TEST(FrameFields, IntegerFieldsReadAsAtol) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"abc", 0}, {"-12", -12}, {"+7x", 7}, {" 12", 12}, {"999", 999}, {"-99", -99},
        {"   ", 0}, {"\t\n5", 5},  {"- 1", 0}, {"1 2", 1},  {"0x1", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadIntegerField(reinterpret_cast<const std::uint8_t*>(c.text), 3), c.value) << c.text;
    // A zero byte ends the text; bytes after the field are never read.
    const std::uint8_t withNul[] = {'4', 0, '7', '8', '9'};
    EXPECT_EQ(ReadIntegerField(withNul, 3), 4);
    const std::uint8_t followed[] = {'1', '2', '3', '4', '5'};
    EXPECT_EQ(ReadIntegerField(followed, 3), 123);
}

TEST(FrameFields, DecimalFieldsReadAsStrtodWithAFullStop) {
    const struct {
        const char* text;
        float value;
        bool chartable;
    } cases[] = {
        {" 21.5 ", 21.5f, true}, {"21,50 ", 21.0f, true}, {"      ", 0, false}, {"045.60", 45.6f, true},
        {"+21.75", 21.75f, true}, {"-0.5e1", -5.0f, true}, {"1e+2  ", 100.0f, true}, {"12.3.4", 12.3f, true},
        {"abc   ", 0, false},     {".5    ", 0.5f, true},  {"0x10  ", 16.0f, true},
    };
    for (const auto& c : cases) {
        const DecimalField f = ReadDecimalField(reinterpret_cast<const std::uint8_t*>(c.text), 6);
        EXPECT_EQ(f.value, c.value) << c.text;
        EXPECT_EQ(f.chartable, c.chartable) << c.text;
    }
    const std::uint8_t followed[] = {'1', '2', '.', '5', '0', '0', '7', '7'};
    EXPECT_EQ(ReadDecimalField(followed, 6).value, 12.5f);
}

TEST(FrameFields, UserLocaleWithDecimalCommaDoesNotChangeTheReading) {
    REQUIRE_FRENCH_LOCALE(guard);
    const auto read = [](const char* t) { return ReadDecimalField(reinterpret_cast<const std::uint8_t*>(t), 6); };
    EXPECT_EQ(read("21.75 ").value, 21.75f);
    EXPECT_EQ(read("21,50 ").value, 21.0f);
    Receiver r;
    r.Feed(kFrame);
    EXPECT_EQ(r.points, (std::vector<Point>{{H, 45.6f}, {T, 21.75f}}));
}

TEST(Frame, EmptyChunkChangesNothing) {
    Receiver r;
    r.Feed(kFrame.substr(0, 30));
    const FrameBuffer buf = r.buf;
    const std::uint32_t len = r.len;
    r.Feed("");
    EXPECT_EQ(r.buf, buf);
    EXPECT_EQ(r.len, len);
    EXPECT_EQ(r.parses, 0);
}
