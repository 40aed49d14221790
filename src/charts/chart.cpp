#include "charts/chart.h"

TLineSeries::TLineSeries(TChart* chart) : chart_(chart) {}

int TLineSeries::Add(double y, std::string_view label, TColor color) {
    y_.push_back(y);
    labels_.emplace_back(label);
    colors_.push_back(color);
    chart_->replot(QCustomPlot::rpQueuedReplot);
    return Count() - 1;
}

void TLineSeries::Clear() {
    y_.clear();
    labels_.clear();
    colors_.clear();
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

TChartAxis& TLineSeries::GetVertAxis() { return chart_->LeftAxis(); }

TChart::TChart(QWidget* parent, const QString& leftTitle, double minimum, double maximum)
    : QCustomPlot(parent), leftAxis_(yAxis), series_(this) {
    yAxis->setLabel(leftTitle);
    yAxis->setRange(minimum, maximum);
    legend->setVisible(false);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
}
