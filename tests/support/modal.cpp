#include "support/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

ModalWatcher::ModalWatcher(std::function<void(const ShownBox&)> onShown)
    : onShown_(std::move(onShown)), timer_(new QTimer) {
    QObject::connect(timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        ShownBox shown{box->windowTitle(), box->text(), box->icon(),
                       static_cast<int>(box->buttons().size())};
        boxes_.push_back(shown);
        if (onShown_) onShown_(shown);
        box->done(QMessageBox::Ok);
    });
    timer_->start(20);
}

ModalWatcher::~ModalWatcher() { delete timer_; }

void PumpEvents(int ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) {
        // Sleep until something happens (at most 10 ms) rather than spin.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}
