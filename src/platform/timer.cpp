#include "platform/timer.h"

TTimer::TTimer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnTimer) Dispatch([this] { OnTimer(this); });
    });
    Restart();
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Restart();
}

void TTimer::SetInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Restart();
}

void TTimer::Restart() {
    timer_.stop();
    if (enabled_ && interval_ > 0) timer_.start(interval_);
}
