// The temperature and humidity charts of the real window, drawn offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QWheelEvent>
#include <cmath>
#include <ctime>
#include <set>
#include <string>

#include "core/time_label.h"
#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
class Charts : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        PumpEvents(50);
    }
    // The labels a point made now may carry: the clock may tick during the call.
    static bool IsCurrentTimeLabel(const std::string& label, std::time_t before, std::time_t after) {
        for (std::time_t t = before; t <= after; ++t)
            if (TimeOfDayLabel(t) == label) return true;
        return false;
    }
    static QImage Picture(TChart* chart) {
        chart->replot(QCustomPlot::rpImmediateRefresh);
        return chart->toPixmap(800, 200).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Pixels that are clearly red / clearly blue (the line's own colour).
    static int CountPixels(const QImage& image, QRgb colour) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                const int d = std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                              std::abs(qBlue(p) - qBlue(colour));
                if (d < 90) ++count;
            }
        return count;
    }
    TForm1 form;
};
}  // namespace

TEST_F(Charts, StartWithTheirDesignSettings) {
    struct Expect {
        TChart* chart;
        double min, max;
        const char* title;
    };
    for (const Expect& e : {Expect{form.Chart1, -40, 60, "Temperature °C"},
                            Expect{form.Chart2, 0, 100, "Relative Umiditi %RH"}}) {
        EXPECT_FALSE(e.chart->LeftAxis().Automatic());
        EXPECT_EQ(e.chart->LeftAxis().Minimum(), e.min);
        EXPECT_EQ(e.chart->LeftAxis().Maximum(), e.max);
        EXPECT_EQ(e.chart->yAxis->label(), QString::fromUtf8(e.title));
        EXPECT_FALSE(e.chart->legend->visible());
        EXPECT_EQ(e.chart->Series()->Title, "DatiGrafico");
        EXPECT_EQ(e.chart->Series()->Count(), 0);
        EXPECT_TRUE(e.chart->interactions().testFlag(QCP::iRangeDrag));
        EXPECT_TRUE(e.chart->interactions().testFlag(QCP::iRangeZoom));
    }
    EXPECT_EQ(form.Series1, form.Chart1->Series());
    EXPECT_EQ(form.LineSeries1, form.Chart2->Series());
    // "#,##0.##": whole numbers without decimals, at most two decimals.
    Picture(form.Chart1);
    const QVector<QString> labels = form.Chart1->yAxis->tickVectorLabels();
    EXPECT_TRUE(labels.contains(QStringLiteral("-40")));
    EXPECT_TRUE(labels.contains(QStringLiteral("0")));
    EXPECT_TRUE(labels.contains(QStringLiteral("60")));
    form.Chart1->LeftAxis().SetMinMax(0.5, 1.75);
    Picture(form.Chart1);
    for (const QString& l : form.Chart1->yAxis->tickVectorLabels()) {
        const qsizetype point = l.indexOf(QLocale().decimalPoint());
        EXPECT_TRUE(point < 0 || l.size() - point - 1 <= 2) << l.toStdString();
    }
}

TEST_F(Charts, XCountsPointsFromZeroAfterEveryEmptyingWhateverTimePassed) {
    form.AddTemperaturePoint(1);
    form.AddTemperaturePoint(2);
    form.Series1->Clear();
    form.AddTemperaturePoint(10);
    PumpEvents(1100);  // the clock moves on; X does not
    form.AddTemperaturePoint(11);
    form.AddTemperaturePoint(12);
    ASSERT_EQ(form.Series1->Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form.Series1->XValue(i), i);
        EXPECT_EQ(form.Series1->YValue(i), 10 + i);
    }
}

TEST_F(Charts, HumidityThenTemperatureEachLabelledWithTheCurrentTime) {
    const std::time_t before = std::time(nullptr);
    form.AddHumidityPoint(55);
    form.AddTemperaturePoint(21);
    const std::time_t after = std::time(nullptr);
    ASSERT_EQ(form.LineSeries1->Count(), 1);
    ASSERT_EQ(form.Series1->Count(), 1);
    EXPECT_TRUE(IsCurrentTimeLabel(form.LineSeries1->Label(0), before, after)) << form.LineSeries1->Label(0);
    EXPECT_TRUE(IsCurrentTimeLabel(form.Series1->Label(0), before, after)) << form.Series1->Label(0);
    EXPECT_EQ(form.LineSeries1->YValue(0), 55);
    EXPECT_EQ(form.Series1->YValue(0), 21);
}

TEST_F(Charts, TemperatureIsDrawnRedAndHumidityBlue) {
    for (int i = 0; i < 20; ++i) {
        form.AddTemperaturePoint(i % 2 ? 10.f : 30.f);
        form.AddHumidityPoint(i % 2 ? 30.f : 70.f);
    }
    EXPECT_EQ(form.Series1->ValueColor(0), 0x0000FFu);
    EXPECT_EQ(form.LineSeries1->ValueColor(0), 0xFF0000u);
    const QImage temperature = Picture(form.Chart1);
    const QImage humidity = Picture(form.Chart2);
    EXPECT_GT(CountPixels(temperature, qRgb(255, 0, 0)), 200);
    EXPECT_EQ(CountPixels(temperature, qRgb(0, 0, 255)), 0);
    EXPECT_GT(CountPixels(humidity, qRgb(0, 0, 255)), 200);
    EXPECT_EQ(CountPixels(humidity, qRgb(255, 0, 0)), 0);
}

TEST_F(Charts, ValueLineAddsATemperaturePointOnlyWhenItStartsTheText) {
    struct Case {
        const char* text;
        bool charted;
        float value;
    };
    const Case cases[] = {
        {">23.5", true, 23.5f},
        {"> 23.5", true, 23.5f},
        {">23.5\r\n", true, 23.5f},
        {" >23.5", false, 0},
        {">abc", false, 0},
        {">", false, 0},
        {"", false, 0},
        {"24/10/2013  - 14:05:09 >23.5", false, 0},  // a stamped text
    };
    for (const Case& c : cases) {
        form.Series1->Clear();
        form.ParseValueLine(c.text);
        ASSERT_EQ(form.Series1->Count(), c.charted ? 1 : 0) << c.text;
        if (c.charted) {
            EXPECT_EQ(form.Series1->YValue(0), c.value) << c.text;
        }
        EXPECT_EQ(form.LineSeries1->Count(), 0);
    }
}

TEST_F(Charts, ValueLineSplitOverTwoChunksGivesItsFirstPart) {
    form.ParseValueLine(">2");
    form.ParseValueLine("3.5");
    ASSERT_EQ(form.Series1->Count(), 1);
    EXPECT_EQ(form.Series1->YValue(0), 2);
}

TEST_F(Charts, ValueLineIsReadWithAFullStopInAnyLocale) {
    // The toolkit adopts the user's locale; the value line does not follow it.
    const std::string previous = setlocale(LC_NUMERIC, nullptr);
    setlocale(LC_NUMERIC, "");
    form.ParseValueLine(">23.5");
    setlocale(LC_NUMERIC, previous.c_str());
    ASSERT_EQ(form.Series1->Count(), 1);
    EXPECT_EQ(form.Series1->YValue(0), 23.5);
}

TEST_F(Charts, ValuesOutsideTheRangeAreAppendedAndTheRangeStays) {
    form.AddTemperaturePoint(80);
    form.AddHumidityPoint(-5);
    ASSERT_EQ(form.Series1->Count(), 1);
    EXPECT_EQ(form.Series1->YValue(0), 80);
    EXPECT_EQ(form.Chart1->LeftAxis().Minimum(), -40);
    EXPECT_EQ(form.Chart1->LeftAxis().Maximum(), 60);
    ASSERT_EQ(form.LineSeries1->Count(), 1);
    EXPECT_EQ(form.Chart2->LeftAxis().Minimum(), 0);
    EXPECT_EQ(form.Chart2->LeftAxis().Maximum(), 100);
}

TEST_F(Charts, AFloatReachesTheChartAsTheDoubleOfTheSameValue) {
    form.AddHumidityPoint(45.6f);
    form.AddTemperaturePoint(45.6f);
    EXPECT_EQ(form.LineSeries1->YValue(0), static_cast<double>(45.6f));
    EXPECT_EQ(form.Series1->YValue(0), static_cast<double>(45.6f));
    EXPECT_NE(form.LineSeries1->YValue(0), 45.6);
}

TEST_F(Charts, ARangeTheUserMovedIsRestoredByTheNextPoint) {
    struct Case {
        TChart* chart;
        void (TForm1::*add)(float);
        double min, max;
    };
    for (const Case& c : {Case{form.Chart1, &TForm1::AddTemperaturePoint, -40, 60},
                          Case{form.Chart2, &TForm1::AddHumidityPoint, 0, 100}}) {
        for (const QCPRange& moved : {QCPRange(150, 250), QCPRange(-300, -200), QCPRange(10, 20)}) {
            c.chart->yAxis->setRange(moved);  // as a drag or a zoom leaves it
            const int before = c.chart->Series()->Count();
            (form.*c.add)(42);
            EXPECT_EQ(c.chart->Series()->Count(), before + 1) << moved.lower;
            EXPECT_EQ(c.chart->LeftAxis().Minimum(), c.min);
            EXPECT_EQ(c.chart->LeftAxis().Maximum(), c.max);
        }
    }
}

TEST_F(Charts, WheelZoomsAndTheBottomAxisFollowsUntilTheUserLooksBack) {
    TChart* chart = form.Chart1;
    for (int i = 0; i < 600; ++i) form.AddTemperaturePoint(20);
    EXPECT_EQ(chart->Follow(), TChart::TFollow::All);
    EXPECT_EQ(chart->xAxis->range().lower, 0);
    EXPECT_EQ(chart->xAxis->range().upper, 599);

    // A real wheel turn over the plot zooms in, towards the pointer at the right edge.
    const QPointF at(chart->axisRect()->right() - 1, chart->axisRect()->center().y());
    QWheelEvent wheel(at, chart->mapToGlobal(at), QPoint(), QPoint(0, 360), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    const QCPRange zoomed = chart->xAxis->range();
    ASSERT_LT(zoomed.size(), 599);
    EXPECT_NE(chart->LeftAxis().Maximum() - chart->LeftAxis().Minimum(), 100);  // both directions
    EXPECT_EQ(chart->Follow(), TChart::TFollow::Newest);

    // Newest in view: the view slides with new points at its width.
    form.AddTemperaturePoint(20);
    EXPECT_NEAR(chart->xAxis->range().size(), zoomed.size(), 1e-6);
    EXPECT_EQ(chart->xAxis->range().upper, chart->Series()->Count() - 1);  // newest at the edge
    EXPECT_EQ(chart->LeftAxis().Maximum() - chart->LeftAxis().Minimum(), 100);

    // Looking at older points: the view stays where the user put it.
    chart->xAxis->setRange(100, 200);
    form.AddTemperaturePoint(20);
    EXPECT_EQ(chart->Follow(), TChart::TFollow::None);
    EXPECT_EQ(chart->xAxis->range().lower, 100);
    EXPECT_EQ(chart->xAxis->range().upper, 200);

    // Zoomed out over all points: all of them again, and after an emptying too.
    chart->xAxis->setRange(-50, 700);
    form.AddTemperaturePoint(20);
    EXPECT_EQ(chart->xAxis->range().upper, chart->Series()->Count() - 1);
    chart->xAxis->setRange(100, 200);
    form.Series1->Clear();
    form.AddTemperaturePoint(20);
    form.AddTemperaturePoint(20);
    EXPECT_EQ(chart->Follow(), TChart::TFollow::All);
    EXPECT_EQ(chart->xAxis->range().lower, 0);
    EXPECT_EQ(chart->xAxis->range().upper, 1);
}

TEST_F(Charts, BottomAxisShowsPointLabelsAtWholeStepsWithoutOverlap) {
    TLineSeries* series = form.Series1;
    const std::time_t start = 1700000000;
    for (long n : {3L, 40L, 900L, 20000L, 300000L}) {
        series->Clear();
        for (long i = 0; i < n; ++i) series->Add(20, TimeOfDayLabel(start + i), clRed);
        for (QCPRange view : {QCPRange(0, n - 1.0), QCPRange(n * 0.3, n * 0.3 + 20), QCPRange(-5, n * 0.7)}) {
            form.Chart1->xAxis->setRange(view);
            Picture(form.Chart1);
            const QVector<double> ticks = form.Chart1->xAxis->tickVector();
            const QVector<QString> labels = form.Chart1->xAxis->tickVectorLabels();
            ASSERT_FALSE(ticks.isEmpty()) << n;
            const QFontMetricsF metrics(form.Chart1->xAxis->tickLabelFont());
            for (qsizetype k = 0; k < ticks.size(); ++k) {
                ASSERT_EQ(ticks[k], std::round(ticks[k]));
                ASSERT_GE(ticks[k], 0);
                ASSERT_LT(ticks[k], n);
                EXPECT_EQ(labels[k].toStdString(), series->Label(static_cast<int>(ticks[k])));
                if (k == 0) continue;
                // Centred labels: neighbours apart by at least one label's width.
                const double apart = form.Chart1->xAxis->coordToPixel(ticks[k]) -
                                     form.Chart1->xAxis->coordToPixel(ticks[k - 1]);
                EXPECT_GE(apart, metrics.horizontalAdvance(labels[k])) << n;
            }
        }
    }
}

TEST_F(Charts, EverySpikeOfAWeekOfPointsIsDrawn) {
    // A week at one point a second, flat at 20 with one-point spikes to 55
    // and -35: each spike is far narrower than a pixel, and must still show.
    TLineSeries* series = form.Series1;
    const long n = 604800;
    const long up[] = {12345, 300001, 604000}, down[] = {77777, 450000};
    for (long i = 0; i < n; ++i) series->Add(20, "12:00:00", clRed);
    series->Clear();
    std::set<long> spikes(std::begin(up), std::end(up));
    spikes.insert(std::begin(down), std::end(down));
    for (long i = 0; i < n; ++i) {
        const bool isUp = std::find(std::begin(up), std::end(up), i) != std::end(up);
        const bool isDown = std::find(std::begin(down), std::end(down), i) != std::end(down);
        series->Add(isUp ? 55 : isDown ? -35 : 20, "12:00:00", clRed);
    }
    TChart* chart = form.Chart1;
    chart->resize(800, 200);
    const QImage image = Picture(chart);
    // Within a pixel of (x, y): the line is antialiased.
    const auto redAt = [&](double x, double y) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const QRgb p = image.pixel(static_cast<int>(x) + dx, static_cast<int>(std::lround(y)) + dy);
                if (qRed(p) > 200 && qGreen(p) < 120 && qBlue(p) < 120) return true;
            }
        return false;
    };
    for (long i : spikes) {
        const double x = chart->xAxis->coordToPixel(double(i));
        const double tip = chart->yAxis->coordToPixel(series->YValue(static_cast<int>(i)));
        const double halfway = chart->yAxis->coordToPixel((series->YValue(static_cast<int>(i)) + 20) / 2);
        EXPECT_TRUE(redAt(x, tip)) << "spike at " << i;
        EXPECT_TRUE(redAt(x, halfway)) << "spike at " << i;
    }
    // Nothing is drawn where no point lies: the line stays at 20 elsewhere.
    const double quiet = chart->yAxis->coordToPixel(40);
    int redColumns = 0;
    for (int x = chart->axisRect()->left() + 2; x < chart->axisRect()->right() - 2; ++x)
        redColumns += redAt(x, quiet) ? 1 : 0;
    EXPECT_LE(redColumns, 3 * 4);  // the three upward spikes, a pixel or so each
}
