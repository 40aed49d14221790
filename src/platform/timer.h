#pragma once
// A window timer: ticks on the UI thread, also inside modal boxes. Enabling a
// running timer, or setting the interval it already has, leaves its count alone.
#include <QTimer>

#include "platform/speedbutton.h"

class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    TNotifyEvent OnTimer;

private:
    void Restart();
    QTimer timer_;
    bool enabled_ = true;
    int interval_ = 1000;
};
