#include "platform/timer.h"

TTimer::TTimer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    // The tick runs from a posted event, not inside the toolkit's timer
    // activation: a handler that opens a modal box then goes on receiving its
    // own ticks underneath, as window timers do.
    connect(
        &timer_, &QTimer::timeout, this,
        [this] {
            if (enabled_ && OnTimer) Dispatch([this] { OnTimer(this); });
        },
        Qt::QueuedConnection);
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
