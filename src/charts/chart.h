#pragma once
// The chart layer: a line chart with one series, a vertical axis with a range
// of its own, and points that carry a label and a colour.
#include <qcustomplot.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/color.h"

class TChartAxis {
public:
    explicit TChartAxis(QCPAxis* axis) : axis_(axis) {}
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool automatic) { automatic_ = automatic; }
    double Maximum() const { return axis_->range().upper; }
    double Minimum() const { return axis_->range().lower; }
    // Sets both bounds at once, so that no order of setting can be refused.
    void SetMinMax(double minimum, double maximum) { axis_->setRange(minimum, maximum); }

private:
    QCPAxis* axis_;
    bool automatic_ = false;
};

class TChart;

class TLineSeries {
public:
    explicit TLineSeries(TChart* chart);
    // Appends a point: X is the count before it.
    int Add(double y, std::string_view label, TColor color);
    void Clear();
    int Count() const { return static_cast<int>(y_.size()); }
    double XValue(int i) const { return i; }
    double YValue(int i) const { return y_.at(i); }
    std::string Label(int i) const { return labels_.at(i); }
    TColor ValueColor(int i) const { return colors_.at(i); }
    TChartAxis& GetVertAxis();
    std::string Title;

private:
    TChart* chart_;
    std::vector<double> y_;
    std::vector<std::string> labels_;
    std::vector<TColor> colors_;
};

class TChart : public QCustomPlot {
    Q_OBJECT
public:
    TChart(QWidget* parent, const QString& leftTitle, double minimum, double maximum);
    TChartAxis& LeftAxis() { return leftAxis_; }
    TLineSeries* Series() { return &series_; }

private:
    TChartAxis leftAxis_;
    TLineSeries series_;
};
