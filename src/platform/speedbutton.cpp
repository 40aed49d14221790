#include "platform/speedbutton.h"

TSpeedButton::TSpeedButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(false);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (OnClick) Dispatch([this] { OnClick(this); });
    });
}

void TSpeedButton::SetGroupIndex(int index) {
    groupIndex_ = index;
    setCheckable(index != 0);
}

void TSpeedButton::SetDown(bool down) {
    if (down == Down()) return;
    if (down) ReleaseGroup();
    setChecked(down);
}

void TSpeedButton::SetShowHint(bool show) {
    setToolTip(show ? QString::fromStdString(hint_) : QString());
}

// Called by the toolkit on a click, before `clicked`.
void TSpeedButton::nextCheckState() {
    if (groupIndex_ == 0) return;
    if (!Down())
        SetDown(true);
    else if (allowAllUp_)
        SetDown(false);
}

void TSpeedButton::ReleaseGroup() {
    if (groupIndex_ == 0 || parentWidget() == nullptr) return;
    for (auto* other : parentWidget()->findChildren<TSpeedButton*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->groupIndex_ == groupIndex_ && other->Down()) other->setChecked(false);
}

TButton::TButton(QWidget* parent) : QPushButton(parent) {
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick) Dispatch([this] { OnClick(this); });
    });
}
