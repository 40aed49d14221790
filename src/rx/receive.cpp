#include "ui/Unit1.h"

void TForm1::cpdrvReceiveData(TObject*, const void*, std::uint32_t) {}
void TForm1::ParseMeasurementFrame(const std::uint8_t*) {}
