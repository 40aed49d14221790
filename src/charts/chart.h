#pragma once
// The chart layer: a line chart with one series, a vertical axis with a range
// of its own, and points that carry a label and a colour. Drawing works from
// a min/max summary of the series, so its cost follows the chart's width, not
// the number of points.
#include <qcustomplot.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/color.h"
#include "core/series_data.h"

class TChart;

class TChartAxis {
public:
    explicit TChartAxis(QCPAxis* axis) : axis_(axis) {}
    // Automatic: the axis fits the series' values at every point added.
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool automatic) { automatic_ = automatic; }
    double Maximum() const { return axis_->range().upper; }
    double Minimum() const { return axis_->range().lower; }
    // Sets both bounds at once, so that no previous range can make it refuse.
    void SetMinMax(double minimum, double maximum) { axis_->setRange(minimum, maximum); }

private:
    QCPAxis* axis_;
    bool automatic_ = false;
};

// A line series. X of a point is its index; Y is held at single precision
// (measurements are floats); points are only appended. Owned by its chart.
class TLineSeries : public QCPAbstractPlottable {
    Q_OBJECT
public:
    explicit TLineSeries(TChart* chart);
    // Appends a point and returns its index (= X, the count before it).
    int Add(double y, std::string_view label, TColor color);
    void Clear();
    int Count() const { return static_cast<int>(data_.Count()); }
    double XValue(int i) const { return Checked(i); }
    double YValue(int i) const { return data_.Y(Checked(i)); }
    std::string Label(int i) const { return data_.Label(Checked(i)); }
    TColor ValueColor(int i) const { return data_.Color(Checked(i)); }
    TChartAxis& GetVertAxis();
    const SeriesData& Data() const { return data_; }

    std::string Title;
    TColor SeriesColor = clRed;  // the legend's colour; points carry their own

    double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    std::size_t Checked(int i) const;
    // Pixel polyline of the points [begin, end): every point when they are
    // sparse, else per pixel column its first, min, max and last value.
    void BuildLine(std::size_t begin, std::size_t end, std::vector<QPolygonF>& pieces);

    TChart* chart_;
    SeriesData data_;
    std::vector<ColumnSpan> columns_;  // reused by every repaint
};

class TChart : public QCustomPlot {
    Q_OBJECT
public:
    TChart(QWidget* parent, const QString& leftTitle, double minimum, double maximum);
    TChartAxis& LeftAxis() { return leftAxis_; }
    TLineSeries* Series() { return series_; }

    // How the bottom axis follows new points: all of them (until the user
    // zooms or drags horizontally), the newest ones at a fixed width (the
    // user's view reaches the newest point), or not at all (the user looks
    // at older points). Zooming out to all points makes it follow all again.
    enum class TFollow { All, Newest, None };
    TFollow Follow() const { return follow_; }
    // Called by the series whenever points are added.
    void FollowData();
    // Called by the series when it was emptied: follow all points again.
    void SeriesCleared();

private:
    void KeyRangeChanged(const QCPRange& range);
    void SetKeyRange(double lower, double upper);

    TChartAxis leftAxis_;
    TLineSeries* series_;
    TFollow follow_ = TFollow::All;
    double newestWidth_ = 0;  // view width while following the newest points
    double newestGap_ = 0;    // space the user left right of the newest point
    bool settingKeyRange_ = false;
};
