#include "ui/Unit1.h"

void TForm1::SpeedButton1Click(TObject*) {}
void TForm1::btnCONNETTIClick(TObject*) {}
void TForm1::OpenSerialPort(const std::string&, int, char, int) {}
void TForm1::btnDISCONNETTIClick(TObject*) {}
void TForm1::CloseSerialPort() {}
void TForm1::btnTimerClick(TObject*) {}
void TForm1::Timer1Timer(TObject*) {}
