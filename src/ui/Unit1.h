#pragma once
// The main window: its controls, components and per-window state, and the
// handlers that the controls' events are bound to. Handlers live beside the
// logic of their area (serial/, rx/, charts/); this unit builds the window.
#include <QAction>
#include <QSplitter>
#include <QWidget>
#include <array>
#include <cstdint>
#include <string>

#include "charts/chart.h"
#include "core/color.h"
#include "core/measurement.h"
#include "core/request.h"
#include "platform/controls.h"
#include "platform/richedit.h"
#include "platform/speedbutton.h"
#include "platform/statusbar.h"
#include "platform/timer.h"
#include "serial/CommPortDriver.h"

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* owner = nullptr);
    ~TForm1() override;

    // Layout, top to bottom.
    TPanel* pnlSERIALE;
    QSplitter* Splitter2;  // between the chart area and the terminal area
    TPanel* Panel2;
    TPanel* Panel1;
    TStatusBar* StatusBar1;

    // Command bar.
    TLabel* Label2;
    TComboBox* cboxSer;
    TLabel* Label3;
    TSpeedButton* SpeedButton1;
    TSpeedButton* btnCONNETTI;
    TSpeedButton* btnDISCONNETTI;
    TEdit* editTimer;
    TLabel* Label1;
    TSpeedButton* btnTimer;
    TSpeedButton* btnData;
    TSpeedButton* btnOra;
    TSpeedButton* btnSalva;
    TSpeedButton* btnStayOnTop;
    TMaskEdit* edtCARATTERETRIGGER;
    TSpeedButton* btnInvio;
    TButton* btnExit;

    // Terminal area.
    TPanel* Panel3;
    TPanel* Panel4;
    TLabel* Label4;
    TRichEdit* memTerm;

    // Chart area.
    QSplitter* Splitter3;  // between the two charts
    TChart* Chart1;
    TChart* Chart2;
    TLineSeries* Series1;      // temperature
    TLineSeries* LineSeries1;  // relative humidity
    TTrackBar* TrackBar1;
    TTrackBar* TrackBar2;

    // Components without a place on screen.
    TCommPortDriver* cpdrv;
    TTimer* Timer1;
    TPopupMenu* menuSALVATAGGIO;
    QAction* Apricartella1;
    QAction* AprifileLog1;
    QAction* N3;
    QAction* DataOrainLog1;

    // Per-window state.
    bool PortOpen = false;
    bool StampPending = false;
    TColor RxColor = 0;
    TColor TxColor = 0;
    RequestFrameBytes RequestFrame{};
    TMeasurement Measurement{};
    std::array<std::uint8_t, 1000> FrameBuf{};
    std::uint32_t FrameLen = 0;

    // Window.
    void FormCreate(TObject* Sender);
    void btnStayOnTopClick(TObject* Sender);
    void btnExitClick(TObject* Sender);

    // Serial connection.
    void SpeedButton1Click(TObject* Sender);
    void btnCONNETTIClick(TObject* Sender);
    void OpenSerialPort(const std::string& portText, int baudRate, char parityLetter, int flowMode);
    void btnDISCONNETTIClick(TObject* Sender);
    void CloseSerialPort();

    // Request polling.
    void btnTimerClick(TObject* Sender);
    void Timer1Timer(TObject* Sender);

    // Receive path.
    void cpdrvReceiveData(TObject* Sender, const void* DataPtr, std::uint32_t DataSize);
    void ParseMeasurementFrame(const std::uint8_t* frame);

    // Charts.
    void AddTemperaturePoint(float value);
    void AddHumidityPoint(float value);
    void ParseValueLine(const char* text);

private:
    void BuildCommandBar();
    void BuildTerminalArea();
    void BuildChartArea();
    void BindEvents();
};

extern TForm1* Form1;
