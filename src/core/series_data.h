#pragma once
// The points of one line series, kept small enough for weeks of data, and the
// min/max summary by blocks from which a view of any width is drawn without
// visiting every point.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/color.h"

// Distinct label texts, each stored once; a point keeps only the number of its text.
class LabelTable {
public:
    std::uint32_t Intern(std::string_view text);
    const std::string& Text(std::uint32_t id) const { return texts_[id]; }
    std::size_t Size() const { return texts_.size(); }
    void Clear();

private:
    std::deque<std::string> texts_;  // a deque: keys of index_ view into its elements
    std::unordered_map<std::string_view, std::uint32_t> index_;
    std::uint32_t last_ = 0;  // consecutive points mostly share a text
};

struct ValueSpan {
    float min, max;  // min > max: no value (empty, or NaN only)
    bool Empty() const { return !(min <= max); }
};

// Min and max of every block of 16, 256, 4096 and 65536 points (about half a
// byte per point). A range query visits at most 15 points or blocks per level
// at each end, whatever the range's length. NaN values are left out.
class MinMaxSummary {
public:
    static constexpr int kLevels = 4;
    static constexpr int kShift = 4;  // block size grows 16x per level

    void Append(float y);
    void Clear();
    // Min and max of y[begin, end); y is the series the summary was built from.
    ValueSpan Span(const float* y, std::size_t begin, std::size_t end) const;

private:
    std::vector<ValueSpan> levels_[kLevels];
    std::size_t count_ = 0;
};

// A series' points: X is the index, Y a float, a label and a colour each.
class SeriesData {
public:
    void Append(float y, std::string_view label, TColor color);
    void Clear();
    std::size_t Count() const { return y_.size(); }
    float Y(std::size_t i) const { return y_[i]; }
    const std::string& Label(std::size_t i) const { return labels_.Text(labelIds_[i]); }
    TColor Color(std::size_t i) const;
    const float* YData() const { return y_.data(); }
    ValueSpan Span(std::size_t begin, std::size_t end) const { return summary_.Span(y_.data(), begin, end); }

    // Colours change rarely along a series, so they are kept as runs.
    struct ColorRun {
        std::size_t begin;
        TColor color;
    };
    const std::vector<ColorRun>& ColorRuns() const { return runs_; }

private:
    std::vector<float> y_;
    std::vector<std::uint32_t> labelIds_;
    LabelTable labels_;
    std::vector<ColorRun> runs_;
    MinMaxSummary summary_;
};

// What one pixel column of a view shows: the first and last value of the
// points that fall into it, and all values between their min and max.
struct ColumnSpan {
    long column;
    float first, last;
    ValueSpan span;
};

// Splits the points [begin, end) into pixel columns: point i lies in column
// floor((i - keyLower) * pixelsPerKey). Appends one entry per non-empty column.
void SpanColumns(const SeriesData& data, std::size_t begin, std::size_t end, double keyLower,
                 double pixelsPerKey, std::vector<ColumnSpan>& out);
