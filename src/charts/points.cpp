// Points of the temperature and humidity charts, and the value line that adds
// a temperature point of its own.
#include <ctime>

#include "core/time_label.h"
#include "core/value_line.h"
#include "ui/Unit1.h"

namespace {
constexpr TColor kTemperatureColor = 0x0000FF;  // red
constexpr TColor kHumidityColor = 0xFF0000;     // blue

// The fixed range is set again for every point, so that a zoom or drag of the
// user lasts only until the next point. Both bounds at once: a range dragged
// wholly above the fixed one could refuse a lone maximum and lose the point.
void AddPoint(TLineSeries* series, float value, double minimum, double maximum, TColor color) {
    TChartAxis& axis = series->GetVertAxis();
    axis.SetAutomatic(false);
    axis.SetMinMax(minimum, maximum);
    series->Add(value, TimeOfDayLabel(std::time(nullptr)), color);
}
}  // namespace

void TForm1::AddTemperaturePoint(float value) { AddPoint(Series1, value, -40, 60, kTemperatureColor); }

void TForm1::AddHumidityPoint(float value) { AddPoint(LineSeries1, value, 0, 100, kHumidityColor); }

void TForm1::ParseValueLine(const char* text) {
    if (const auto value = ScanValueLine(text)) AddTemperaturePoint(*value);
}
