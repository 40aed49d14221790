// The periodic data request while the port is open.
#include <string>

#include "core/period.h"
#include "ui/Unit1.h"

void TForm1::btnTimerClick(TObject*) {
    if (!btnTimer->Down()) {
        Timer1->SetEnabled(false);
        editTimer->setEnabled(true);
        return;
    }
    Series1->Clear();
    LineSeries1->Clear();
    memTerm->Clear();
    if (StrToFloat(editTimer->Text()) < 0.5) editTimer->SetText("0.5");
    Timer1->SetInterval(PeriodToInterval(StrToFloat(editTimer->Text())));
    Timer1->SetEnabled(true);
    editTimer->setEnabled(false);
}

void TForm1::Timer1Timer(TObject* Sender) {
    if (!cpdrv->Connected()) btnCONNETTIClick(Sender);
    char copy[kRequestFrameSize + 1] = {};
    RequestFrame[7] = static_cast<std::uint8_t>(FrameChecksum(RequestFrame.data(), kRequestFrameSize));
    for (std::size_t i = 0; i < kRequestFrameSize; ++i) copy[i] = static_cast<char>(RequestFrame[i]);
    // "%s" of the copy: the frame's characters up to its first zero byte.
    const std::string echo(copy);
    cpdrv->SendData(RequestFrame.data(), kRequestFrameSize);
    memTerm->SetSelColor(TxColor);
    memTerm->LinesAdd(echo);
}
