#include "platform/controls.h"

TLabel::TLabel(QWidget* parent, const std::string& caption)
    : QLabel(QString::fromStdString(caption), parent) {
    adjustSize();
}

TPanel::TPanel(QWidget* parent, bool raised) : QFrame(parent) {
    if (raised) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) { setEditable(false); }

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Vertical, parent) {
    setRange(0, 100);
    setValue(50);
    setTickInterval(1);
    setTickPosition(QSlider::TicksRight);
    setCursor(Qt::PointingHandCursor);
}
