#include "serial/CommPortDriver.h"

TCommPortDriver::TCommPortDriver(QObject* parent) : QObject(parent) {}

TCommPortDriver::~TCommPortDriver() { Disconnect(); }

void TCommPortDriver::SetPortName(const std::string& name) {
    if (!Connected()) portName_ = name;
}

bool TCommPortDriver::Connect() { return Connected(); }

void TCommPortDriver::Disconnect() {}

unsigned TCommPortDriver::SendData(const void*, unsigned) { return 0; }
