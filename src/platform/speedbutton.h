#pragma once
// Speed buttons and push buttons. A speed button with a non-zero group index is a
// toggle: a click switches it, puts the other down button of its group (same
// parent, same index) up without an event, then raises OnClick, so the handler
// reads the new state. Setting Down from code raises no event.
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <string>

#include "platform/application.h"

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent);

    bool Down() const { return isChecked(); }
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow) { allowAllUp_ = allow; }
    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption) { setText(QString::fromStdString(caption)); }
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    // The button's own hint display (the window's is off).
    void SetShowHint(bool show);

    TNotifyEvent OnClick;

protected:
    void nextCheckState() override;

private:
    void ReleaseGroup();
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    std::string hint_;
};

class TButton : public QPushButton {
    Q_OBJECT
public:
    explicit TButton(QWidget* parent);
    std::string Caption() const { return text().toStdString(); }
    void SetCaption(const std::string& caption) { setText(QString::fromStdString(caption)); }
    TNotifyEvent OnClick;
};
