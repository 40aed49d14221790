#include "charts/chart.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/tick_step.h"
#include "platform/application.h"

namespace {
// Fewer points than this per pixel column are drawn one by one.
constexpr double kColumnsFromPointsPerPixel = 2.0;
// Values far outside the view are drawn at this distance, which the painter
// clips like the real line; infinities would not be drawn at all.
constexpr double kPixelLimit = 1e5;

// The left axis: "#,##0.##", the locale's group separator and at most two decimals.
class TValueTicker : public QCPAxisTicker {
protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        if (std::abs(tick) < 0.005) tick = 0;  // no "-0"
        const QLocale locale;
        QString text = locale.toString(tick, 'f', 2);
        const QString point = locale.decimalPoint();
        if (text.contains(point)) {
            while (text.endsWith(QLatin1Char('0'))) text.chop(1);
            if (text.endsWith(point)) text.chop(point.size());
        }
        return text;
    }
};

// The bottom axis: the points' labels at whole steps of the index, as far
// apart as the widest label in view needs.
class TLabelTicker : public QCPAxisTicker {
public:
    TLabelTicker(const TLineSeries* series, const QCPAxis* axis) : series_(series), axis_(axis) {}

protected:
    double getTickStep(const QCPRange& range) override {
        const double width = axis_->axisRect() != nullptr ? axis_->axisRect()->width() : 0;
        return static_cast<double>(ChooseTickStep(width / range.size(), LabelWidth(range)));
    }
    int getSubTickCount(double) override { return 0; }
    QVector<double> createTickVector(double step, const QCPRange& range) override {
        QVector<double> ticks;
        const double last = series_->Count() - 1.0;
        const double lower = std::max(range.lower, 0.0);
        const double upper = std::min(range.upper, last);
        for (double t = std::ceil(lower / step) * step; t <= upper; t += step) ticks.push_back(t);
        return ticks;
    }
    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        const double index = std::round(tick);
        if (index < 0 || index >= series_->Count()) return {};
        return QString::fromLocal8Bit(series_->Label(static_cast<int>(index)));
    }

private:
    // Labels of one series are alike (times of day); the ones at both ends of
    // the view stand for all, with a gap of two blanks.
    double LabelWidth(const QCPRange& range) const {
        const int count = series_->Count();
        if (count == 0) return 0;
        const QFontMetricsF metrics(axis_->tickLabelFont());
        const auto at = [&](double key) {
            const int i = static_cast<int>(std::clamp(key, 0.0, count - 1.0));
            return metrics.horizontalAdvance(QString::fromLocal8Bit(series_->Label(i)));
        };
        return std::max(at(range.lower), at(range.upper)) + metrics.horizontalAdvance(QStringLiteral("  "));
    }

    const TLineSeries* series_;
    const QCPAxis* axis_;
};

double PixelOf(const QCPAxis* axis, float value) {
    return std::clamp(axis->coordToPixel(value), -kPixelLimit, kPixelLimit);
}
}  // namespace

TLineSeries::TLineSeries(TChart* chart)
    : QCPAbstractPlottable(chart->xAxis, chart->yAxis), chart_(chart) {
    setSelectable(QCP::stNone);
    setPen(QPen(ToQColor(SeriesColor)));
}

std::size_t TLineSeries::Checked(int i) const {
    if (i < 0 || i >= Count()) throw std::out_of_range("point index out of range");
    return static_cast<std::size_t>(i);
}

int TLineSeries::Add(double y, std::string_view label, TColor color) {
    data_.Append(static_cast<float>(y), label, color);
    TChartAxis& axis = GetVertAxis();
    if (axis.Automatic()) {
        const ValueSpan all = data_.Span(0, data_.Count());
        if (!all.Empty() && std::isfinite(all.min) && std::isfinite(all.max))
            axis.SetMinMax(all.min - (all.min == all.max), all.max + (all.min == all.max));
    }
    chart_->FollowData();
    chart_->replot(QCustomPlot::rpQueuedReplot);
    return Count() - 1;
}

void TLineSeries::Clear() {
    data_.Clear();
    columns_ = {};
    chart_->SeriesCleared();
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

TChartAxis& TLineSeries::GetVertAxis() { return chart_->LeftAxis(); }

double TLineSeries::selectTest(const QPointF&, bool, QVariant*) const { return -1; }

QCPRange TLineSeries::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const {
    const double last = Count() - 1.0;
    foundRange = Count() > 0 && !(inSignDomain == QCP::sdNegative) && !(inSignDomain == QCP::sdPositive && last < 1);
    return QCPRange(inSignDomain == QCP::sdPositive ? std::min(1.0, last) : 0.0, last);
}

QCPRange TLineSeries::getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange& inKeyRange) const {
    std::size_t begin = 0, end = data_.Count();
    if (inKeyRange != QCPRange()) {
        begin = static_cast<std::size_t>(std::clamp(std::ceil(inKeyRange.lower), 0.0, double(end)));
        end = static_cast<std::size_t>(std::clamp(std::floor(inKeyRange.upper) + 1, double(begin), double(end)));
    }
    const ValueSpan span = data_.Span(begin, end);
    foundRange = !span.Empty();
    return foundRange ? QCPRange(span.min, span.max) : QCPRange();
}

void TLineSeries::BuildLine(std::size_t begin, std::size_t end, std::vector<QPolygonF>& pieces) {
    const QCPAxis* keys = keyAxis();
    const QCPAxis* values = valueAxis();
    const QCPRange range = keys->range();
    const double pixelsPerKey = keys->axisRect()->width() / range.size();
    QPolygonF line;
    const auto flush = [&] {
        if (line.size() >= 2) pieces.push_back(line);
        line.clear();
    };
    const auto to = [&](double x, float y) {
        if (std::isnan(y)) return flush();
        const QPointF p(x, PixelOf(values, y));
        if (line.isEmpty() || line.back() != p) line.push_back(p);
    };
    if (pixelsPerKey * kColumnsFromPointsPerPixel >= 1.0) {
        for (std::size_t i = begin; i < end; ++i) to(keys->coordToPixel(double(i)), data_.Y(i));
    } else {
        columns_.clear();
        SpanColumns(data_, begin, end, range.lower, pixelsPerKey, columns_);
        const double left = keys->axisRect()->left() + 0.5;
        for (const ColumnSpan& c : columns_) {
            const double x = std::clamp(left + double(c.column), -kPixelLimit, kPixelLimit);
            if (c.span.Empty()) {
                flush();
                continue;
            }
            // A full polyline through these points covers exactly the column's
            // min..max and enters and leaves it at its first and last value.
            to(x, std::isnan(c.first) ? c.span.min : c.first);
            to(x, c.span.min);
            to(x, c.span.max);
            to(x, std::isnan(c.last) ? c.span.max : c.last);
        }
    }
    flush();
}

void TLineSeries::draw(QCPPainter* painter) {
    const std::size_t count = data_.Count();
    if (count < 2) return;
    const QCPRange range = keyAxis()->range();
    // The points in view and one beyond each side, for the segments that leave it.
    const double lower = std::floor(range.lower) - 1, upper = std::ceil(range.upper) + 1;
    if (upper < 0 || lower > double(count - 1)) return;
    const std::size_t begin = static_cast<std::size_t>(std::max(lower, 0.0));
    const std::size_t end = static_cast<std::size_t>(std::min(upper, double(count - 1))) + 1;

    const auto& runs = data_.ColorRuns();
    std::vector<QPolygonF> pieces;
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const std::size_t runEnd = std::min(r + 1 < runs.size() ? runs[r + 1].begin : count, end);
        const std::size_t runBegin = std::max(runs[r].begin, begin);
        if (runBegin >= runEnd) continue;
        // A segment takes the colour of the point it leads to.
        pieces.clear();
        BuildLine(runBegin > begin ? runBegin - 1 : runBegin, runEnd, pieces);
        QPen pen = mPen;
        pen.setColor(ToQColor(runs[r].color));
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        for (const QPolygonF& piece : pieces) painter->drawPolyline(piece);
    }
}

void TLineSeries::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
    painter->setPen(QPen(ToQColor(SeriesColor)));
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

TChart::TChart(QWidget* parent, const QString& leftTitle, double minimum, double maximum)
    : QCustomPlot(parent), leftAxis_(yAxis), series_(new TLineSeries(this)) {
    setBackground(QBrush(ToQColor(clBtnHighlight)));
    axisRect()->setBackground(Qt::NoBrush);  // the back wall is not filled
    legend->setVisible(false);

    yAxis->setLabel(leftTitle);
    yAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TValueTicker));
    leftAxis_.SetAutomatic(false);
    leftAxis_.SetMinMax(minimum, maximum);
    xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new TLabelTicker(series_, xAxis)));

    series_->Title = "DatiGrafico";
    series_->setName(QStringLiteral("DatiGrafico"));

    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange& range) { KeyRangeChanged(range); });
    FollowData();
}

void TChart::SetKeyRange(double lower, double upper) {
    settingKeyRange_ = true;
    xAxis->setRange(lower, upper);
    settingKeyRange_ = false;
}

void TChart::FollowData() {
    const double last = std::max(series_->Count() - 1.0, 0.0);
    switch (follow_) {
    case TFollow::All: SetKeyRange(0, std::max(last, 1.0)); break;
    case TFollow::Newest: SetKeyRange(last + newestGap_ - newestWidth_, last + newestGap_); break;
    case TFollow::None: break;
    }
}

void TChart::SeriesCleared() {
    follow_ = TFollow::All;
    FollowData();
}

void TChart::KeyRangeChanged(const QCPRange& range) {
    if (settingKeyRange_) return;  // our own following, not the user
    const double last = series_->Count() - 1.0;
    // A zoom about a pointer near the right edge leaves the newest point just
    // outside; that still means "the newest points".
    const bool reachesNewest = range.upper >= last - 0.02 * range.size();
    if (last < 1 || (range.lower <= 0 && reachesNewest)) {
        follow_ = TFollow::All;
    } else if (reachesNewest) {
        follow_ = TFollow::Newest;
        newestWidth_ = range.size();
        newestGap_ = std::max(range.upper - last, 0.0);
    } else {
        follow_ = TFollow::None;
    }
}
