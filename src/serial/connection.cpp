// Connecting and disconnecting the window's serial port.
#include "core/ports.h"
#include "ui/Unit1.h"

namespace {
constexpr const char* kOpenFailedText = "Impossibile aprire la seriale locale\rVerificare che non sia già aperta";
constexpr const char* kOpenFailedCaption = "Seriale Locale";
// Request ticks go on beneath the failure box and may fail to open the port
// again; one box at a time is enough.
bool openFailedBoxShown = false;
}  // namespace

void TForm1::SpeedButton1Click(TObject* Sender) {
    if (SpeedButton1->Down()) {
        SpeedButton1->SetCaption("Disconnetti");
        btnCONNETTIClick(Sender);
    } else {
        SpeedButton1->SetCaption("Connetti");
        btnDISCONNETTIClick(Sender);
    }
}

void TForm1::btnCONNETTIClick(TObject* Sender) {
    OpenSerialPort(cboxSer->Text(), 19200, 'N', 0);
    if (PortOpen) {
        btnTimer->SetDown(true);
        btnTimerClick(Sender);
    }
    cboxSer->setEnabled(false);
    editTimer->setEnabled(false);
    btnCONNETTI->setEnabled(!PortOpen);
    btnDISCONNETTI->setEnabled(PortOpen);
}

void TForm1::OpenSerialPort(const std::string& portText, int baudRate, char parityLetter, int flowMode) {
    cpdrv->SetPortName("\\\\.\\" + portText);
    cpdrv->SetBaudRateValue(static_cast<unsigned>(baudRate));
    switch (parityLetter) {
    case 'N': cpdrv->SetParity(ptNONE); break;
    case 'O': cpdrv->SetParity(ptODD); break;
    case 'P': cpdrv->SetParity(ptEVEN); break;
    default: break;
    }
    switch (flowMode) {
    case 0: cpdrv->SetHwFlowControl(hfNONE); break;
    case 1: cpdrv->SetHwFlowControl(hfRTSCTS); break;
    default: break;
    }
    if (!cpdrv->Connect()) {
        if (!openFailedBoxShown) {
            openFailedBoxShown = true;
            Application->MessageBox(kOpenFailedText, kOpenFailedCaption, TMsgIcon::Stop);
            openFailedBoxShown = false;
        }
        return;
    }
    StatusBar1->SetColor(clSkyBlue);
    PortOpen = true;
    StatusBar1->SetPanelText(0, ConnectedStatusText(portText, baudRate, parityLetter));
}

void TForm1::btnDISCONNETTIClick(TObject*) {
    CloseSerialPort();
    btnCONNETTI->setEnabled(!PortOpen);
    btnDISCONNETTI->setEnabled(PortOpen);
}

void TForm1::CloseSerialPort() {
    cpdrv->Disconnect();
    StatusBar1->SetColor(clBtnFace);
    PortOpen = false;
    StatusBar1->SetPanelText(0, "Disconnesso");
    cboxSer->setEnabled(true);
    editTimer->setEnabled(true);
    btnTimer->SetDown(false);
    btnTimerClick(this);
}
