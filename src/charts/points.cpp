#include "ui/Unit1.h"

void TForm1::AddTemperaturePoint(float) {}
void TForm1::AddHumidityPoint(float) {}
void TForm1::ParseValueLine(const char*) {}
