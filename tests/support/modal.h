#pragma once
// Modal boxes in tests: a box opened by the code under test runs its own loop,
// so the test answers it from a timer and keeps what it showed.
#include <QMessageBox>
#include <QString>
#include <functional>
#include <vector>

struct ShownBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    int buttonCount;
};

// While alive, closes every modal message box shortly after it opens and
// records it. `onShown` runs while the box is still open (its loop is running).
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(const ShownBox&)> onShown = {});
    ~ModalWatcher();
    const std::vector<ShownBox>& Boxes() const { return boxes_; }

private:
    std::vector<ShownBox> boxes_;
    std::function<void(const ShownBox&)> onShown_;
    class QTimer* timer_;
};

// Runs the event loop for `ms` milliseconds.
void PumpEvents(int ms);
// Runs the event loop until `done()` or `ms` milliseconds have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int ms);
