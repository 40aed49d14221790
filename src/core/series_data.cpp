#include "core/series_data.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr ValueSpan kNoValue{std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity()};

void Widen(ValueSpan& s, float y) {
    if (std::isnan(y)) return;
    s.min = std::min(s.min, y);
    s.max = std::max(s.max, y);
}

void Widen(ValueSpan& s, ValueSpan other) {
    s.min = std::min(s.min, other.min);
    s.max = std::max(s.max, other.max);
}
}  // namespace

std::uint32_t LabelTable::Intern(std::string_view text) {
    if (last_ < texts_.size() && texts_[last_] == text) return last_;
    auto found = index_.find(text);
    if (found == index_.end()) {
        texts_.emplace_back(text);
        found = index_.emplace(texts_.back(), static_cast<std::uint32_t>(texts_.size() - 1)).first;
    }
    last_ = found->second;
    return last_;
}

void LabelTable::Clear() {
    index_ = {};
    texts_ = {};
    last_ = 0;
}

void MinMaxSummary::Append(float y) {
    for (int level = 0; level < kLevels; ++level) {
        const std::size_t block = count_ >> (kShift * (level + 1));
        auto& spans = levels_[level];
        if (block == spans.size()) spans.push_back(kNoValue);
        Widen(spans[block], y);
    }
    ++count_;
}

void MinMaxSummary::Clear() {
    for (auto& level : levels_) level = {};
    count_ = 0;
}

ValueSpan MinMaxSummary::Span(const float* y, std::size_t begin, std::size_t end) const {
    ValueSpan s = kNoValue;
    std::size_t lo = begin, hi = std::min(end, count_);
    // Level -1 is the points themselves. At each level, the unaligned ends
    // are taken one by one and the aligned middle is left to the next level.
    const auto take = [&](int level, std::size_t from, std::size_t to) {
        if (level < 0)
            for (std::size_t i = from; i < to; ++i) Widen(s, y[i]);
        else
            for (std::size_t i = from; i < to; ++i) Widen(s, levels_[level][i]);
    };
    constexpr std::size_t kFan = std::size_t{1} << kShift;
    for (int level = -1; lo < hi; ++level) {
        const std::size_t loUp = (lo + kFan - 1) / kFan, hiUp = hi / kFan;
        if (level == kLevels - 1 || loUp >= hiUp) {
            take(level, lo, hi);
            break;
        }
        take(level, lo, loUp * kFan);
        take(level, hiUp * kFan, hi);
        lo = loUp;
        hi = hiUp;
    }
    return s;
}

void SeriesData::Append(float y, std::string_view label, TColor color) {
    if (runs_.empty() || runs_.back().color != color) runs_.push_back({y_.size(), color});
    y_.push_back(y);
    labelIds_.push_back(labels_.Intern(label));
    summary_.Append(y);
}

void SeriesData::Clear() {
    y_ = {};
    labelIds_ = {};
    labels_.Clear();
    runs_ = {};
    summary_.Clear();
}

TColor SeriesData::Color(std::size_t i) const {
    auto run = std::upper_bound(runs_.begin(), runs_.end(), i,
                                [](std::size_t index, const ColorRun& r) { return index < r.begin; });
    return std::prev(run)->color;
}

void SpanColumns(const SeriesData& data, std::size_t begin, std::size_t end, double keyLower,
                 double pixelsPerKey, std::vector<ColumnSpan>& out) {
    end = std::min(end, data.Count());
    if (!(pixelsPerKey > 0)) return;
    const auto columnOf = [&](std::size_t i) {
        return static_cast<long>(std::floor((static_cast<double>(i) - keyLower) * pixelsPerKey));
    };
    std::size_t start = begin;
    while (start < end) {
        const long column = columnOf(start);
        // First guess from the column's right edge, then settle it on columnOf
        // itself so that rounding never moves a point to a neighbouring column.
        const double edge = keyLower + static_cast<double>(column + 1) / pixelsPerKey;
        std::size_t next = edge >= static_cast<double>(end) ? end
                                                            : std::max(start + 1, static_cast<std::size_t>(std::ceil(std::max(edge, 0.0))));
        while (next < end && columnOf(next) <= column) ++next;
        while (next > start + 1 && columnOf(next - 1) > column) --next;
        out.push_back({column, data.Y(start), data.Y(next - 1), data.Span(start, next)});
        start = next;
    }
}
