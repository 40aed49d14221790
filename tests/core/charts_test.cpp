#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ctime>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/series_data.h"
#include "core/tick_step.h"
#include "core/time_label.h"
#include "core/value_line.h"

TEST(ScanValueLine, ReadsOneNumberRightAfterTheGreaterThanSign) {
    struct Case {
        const char* text;
        std::optional<float> value;
    };
    const Case cases[] = {
        {">23.5", 23.5f},
        {"> 23.5", 23.5f},            // white space after '>' is skipped
        {">-4.25e1\r", -42.5f},       // sign and exponent
        {">2", 2.f},                  // first half of a split line: what is there
        {">12abc", 12.f},             // the number ends where the digits do
        {">23,5", 23.f},              // a comma is no decimal point
        {" >23.5", std::nullopt},     // only the very start counts
        {"x>23.5", std::nullopt},     //
        {">abc", std::nullopt},       //
        {">", std::nullopt},          //
        {"", std::nullopt},           //
        {"3.5", std::nullopt},        // second half of a split line
        {"24/10/2013 - 14:05:09 >23.5", std::nullopt},  // a stamp comes first
        {nullptr, std::nullopt},
    };
    for (const Case& c : cases) {
        const auto got = ScanValueLine(c.text);
        ASSERT_EQ(got.has_value(), c.value.has_value()) << (c.text ? c.text : "(null)");
        if (got) {
            EXPECT_EQ(*got, *c.value) << c.text;
        }
    }
}

TEST(ScanValueLine, GivesTheFloatNotTheDouble) {
    EXPECT_EQ(ScanValueLine(">45.6"), 45.6f);
    EXPECT_NE(static_cast<double>(*ScanValueLine(">45.6")), 45.6);
}

TEST(TimeOfDayLabel, IsStrftimeXOfTheLocalTime) {
    const std::time_t t = 1382623509;
    std::tm local{};
    localtime_r(&t, &local);
    char expected[64];
    std::strftime(expected, sizeof expected, "%X", &local);
    EXPECT_EQ(TimeOfDayLabel(t), expected);
    // In the C locale: hours, minutes and seconds, two digits each.
    EXPECT_EQ(TimeOfDayLabel(t).size(), 8u);
    EXPECT_EQ(TimeOfDayLabel(t)[2], ':');
}

TEST(ChooseTickStep, TakesTheSmallestLadderStepWhereLabelsDoNotOverlap) {
    struct Case {
        double pixelsPerPoint, labelWidth;
        std::int64_t step;
    };
    const Case cases[] = {
        {60, 50, 1},              // wide spacing: every point
        {50, 50, 1},              // exactly touching is enough
        {49.9, 50, 2},            //
        {8, 50, 10},              // 6.25 points needed
        {1, 50, 60},              //
        {800.0 / 3600, 50, 300},  // an hour in 800 pixels
        {800.0 / 604800, 50, 43200},
        {800.0 / 2000000, 50, 172800},   // two days
        {1e-9, 50, 86400000000},          // 1-2-5 multiples of a day
        {0, 50, std::int64_t{1} << 52},  // no width yet: no tick but the first
        {std::numeric_limits<double>::infinity(), 50, std::int64_t{1} << 52},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseTickStep(c.pixelsPerPoint, c.labelWidth), c.step) << c.pixelsPerPoint;
}

TEST(SeriesData, KeepsEveryPointsValueLabelAndColour) {
    SeriesData data;
    data.Append(1.5f, "10:00:00", 0x0000FF);
    data.Append(2.5f, "10:00:01", 0x0000FF);
    data.Append(3.5f, "10:00:00", 0xFF0000);
    data.Append(4.5f, "10:00:00", 0x0000FF);
    ASSERT_EQ(data.Count(), 4u);
    const char* labels[] = {"10:00:00", "10:00:01", "10:00:00", "10:00:00"};
    const TColor colors[] = {0x0000FF, 0x0000FF, 0xFF0000, 0x0000FF};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(data.Y(i), 1.5f + float(i));
        EXPECT_EQ(data.Label(i), labels[i]);
        EXPECT_EQ(data.Color(i), colors[i]);
    }
    data.Clear();
    EXPECT_EQ(data.Count(), 0u);
    data.Append(7, "x", 0x00FF00);
    EXPECT_EQ(data.Label(0), "x");
    EXPECT_EQ(data.Color(0), 0x00FF00u);
}

TEST(LabelTable, StoresEachDistinctTextOnce) {
    LabelTable table;
    std::vector<std::uint32_t> ids;
    for (int day = 0; day < 3; ++day)
        for (int s = 0; s < 2000; ++s) ids.push_back(table.Intern(std::to_string(s)));
    EXPECT_EQ(table.Size(), 2000u);
    for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(table.Text(ids[i]), std::to_string(i % 2000));
}

namespace {
ValueSpan BruteSpan(const std::vector<float>& y, std::size_t begin, std::size_t end) {
    ValueSpan s{std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    for (std::size_t i = begin; i < end; ++i)
        if (!std::isnan(y[i])) s = {std::min(s.min, y[i]), std::max(s.max, y[i])};
    return s;
}

// A flat series with single-point spikes up and down, a few NaN and infinities.
std::vector<float> Spiky(std::size_t n) {
    std::mt19937 random(11);
    std::vector<float> y(n);
    for (std::size_t i = 0; i < n; ++i) y[i] = std::uniform_real_distribution<float>(19, 21)(random);
    for (std::size_t i = 777; i < n; i += 70001) y[i] = 55;
    for (std::size_t i = 31337; i < n; i += 90001) y[i] = -35;
    y[5] = std::numeric_limits<float>::quiet_NaN();
    if (n > 200000) y[200000] = std::numeric_limits<float>::infinity();
    return y;
}
}  // namespace

TEST(MinMaxSummary, SpanOfAnyRangeEqualsAFullScan) {
    const std::vector<float> y = Spiky(300000);
    SeriesData data;
    for (float v : y) data.Append(v, "", 0);
    std::mt19937 random(3);
    std::vector<std::pair<std::size_t, std::size_t>> ranges = {
        {0, y.size()}, {0, 1}, {5, 6}, {777, 778}, {16, 32}, {15, 4097}, {65536, 131072}, {299999, 300000}};
    for (int i = 0; i < 300; ++i) {
        std::size_t a = random() % y.size(), b = random() % (y.size() + 1);
        if (a > b) std::swap(a, b);
        ranges.push_back({a, b});
    }
    for (auto [a, b] : ranges) {
        const ValueSpan got = data.Span(a, b), want = BruteSpan(y, a, b);
        EXPECT_EQ(got.Empty(), want.Empty()) << a << ".." << b;
        if (!want.Empty()) {
            EXPECT_EQ(got.min, want.min) << a << ".." << b;
            EXPECT_EQ(got.max, want.max) << a << ".." << b;
        }
    }
    EXPECT_TRUE(data.Span(5, 6).Empty());  // NaN alone: no value
}

TEST(SpanColumns, EachColumnHoldsTheMinMaxFirstAndLastOfItsPoints) {
    const std::vector<float> y = Spiky(250000);
    SeriesData data;
    for (float v : y) data.Append(v, "", 0);
    struct View {
        std::size_t begin, end;
        double keyLower, pixelsPerKey;
    };
    const View views[] = {
        {0, y.size(), 0, 800.0 / (y.size() - 1)},         // all points in 800 columns
        {0, y.size(), -0.3, 777.0 / (y.size() - 1)},       // an odd width
        {120000, 125000, 120000.5, 800.0 / 4999},          // zoomed
        {1000, 1010, 1000, 5},                             // several columns per point
    };
    for (const View& v : views) {
        std::vector<ColumnSpan> columns;
        SpanColumns(data, v.begin, v.end, v.keyLower, v.pixelsPerKey, columns);
        // Brute force: every point into its column.
        std::size_t i = v.begin;
        for (const ColumnSpan& c : columns) {
            ASSERT_LT(i, v.end);
            const auto col = [&](std::size_t k) {
                return static_cast<long>(std::floor((double(k) - v.keyLower) * v.pixelsPerKey));
            };
            ASSERT_EQ(c.column, col(i));
            std::size_t j = i;
            while (j < v.end && col(j) == c.column) ++j;
            const ValueSpan want = BruteSpan(y, i, j);
            EXPECT_EQ(c.span.min, want.min);
            EXPECT_EQ(c.span.max, want.max);
            EXPECT_EQ(c.first, y[i]) << i;
            EXPECT_EQ(c.last, y[j - 1]);
            i = j;
        }
        EXPECT_EQ(i, v.end);
    }
}
