#pragma once
// The serial component: opens a port for exclusive use with fixed line
// settings, writes bytes, and raises OnReceiveData from a 50 ms poll on the UI
// thread with at most 2048 bytes at a time.
//
// A device that goes away while connected (adapter unplugged, pty peer gone)
// leaves the component connected: writes return 0 at once, and the device is
// looked for every 500 ms and reopened with the same settings when it is back.
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/application.h"

enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };

using TReceiveDataEvent = std::function<void(TObject* Sender, const void* DataPtr, std::uint32_t DataSize)>;

class TCommPortDriver : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kInBufSize = 2048;
    static constexpr int kPollingDelayMs = 50;
    static constexpr int kOutputTimeoutMs = 500;
    static constexpr int kReopenDelayMs = 500;

    explicit TCommPortDriver(QObject* parent);
    ~TCommPortDriver() override;

    // The next Connect opens this port; a change while connected is ignored.
    void SetPortName(const std::string& name);
    const std::string& PortName() const { return portName_; }
    // Line settings: used by the next Connect, applied at once while open.
    void SetBaudRateValue(unsigned baud);
    unsigned BaudRateValue() const { return baud_; }
    void SetParity(TParity parity);
    TParity Parity() const { return parity_; }
    void SetHwFlowControl(THwFlowControl flow);
    THwFlowControl HwFlow() const { return hwFlow_; }

    bool Connect();
    void Disconnect();
    bool Connected() const { return connected_; }
    unsigned SendData(const void* data, unsigned count);

    TReceiveDataEvent OnReceiveData;

private:
    bool OpenDevice();
    void CloseDevice();
    bool ApplyLineSettings();
    void SetModemLines();
    void Poll();
    void DeviceLost();
    void TryReopen();

    std::string portName_ = "\\\\.\\COM2";
    unsigned baud_ = 9600;
    TParity parity_ = ptNONE;
    THwFlowControl hwFlow_ = hfNONERTSON;

    bool connected_ = false;
    int fd_ = -1;             // -1 while closed, and while a connected device is gone
    std::string lockPath_;    // the lock file we made, empty when none
    QTimer pollTimer_;
    std::array<std::uint8_t, kInBufSize> rxBuf_{};
};
