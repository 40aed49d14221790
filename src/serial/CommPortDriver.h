#pragma once
// The serial component: opens a port for exclusive use with fixed line
// settings, writes bytes, and raises OnReceiveData from a 50 ms poll on the UI
// thread with at most 2048 bytes at a time.
#include <QObject>
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
    explicit TCommPortDriver(QObject* parent);
    ~TCommPortDriver() override;

    void SetPortName(const std::string& name);
    const std::string& PortName() const { return portName_; }
    void SetBaudRateValue(unsigned baud) { baud_ = baud; }
    unsigned BaudRateValue() const { return baud_; }
    void SetParity(TParity parity) { parity_ = parity; }
    TParity Parity() const { return parity_; }
    void SetHwFlowControl(THwFlowControl flow) { hwFlow_ = flow; }
    THwFlowControl HwFlow() const { return hwFlow_; }

    bool Connect();
    void Disconnect();
    bool Connected() const { return fd_ >= 0; }
    unsigned SendData(const void* data, unsigned count);

    TReceiveDataEvent OnReceiveData;

private:
    std::string portName_ = "\\\\.\\COM2";
    unsigned baud_ = 9600;
    TParity parity_ = ptNONE;
    THwFlowControl hwFlow_ = hfNONERTSON;
    int fd_ = -1;
};
