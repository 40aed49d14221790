#pragma once
// The plain controls of the window, with the properties the program reads.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <string>

class TLabel : public QLabel {
    Q_OBJECT
public:
    TLabel(QWidget* parent, const std::string& caption);
};

// A panel with an optional raised outer bevel of one pixel.
class TPanel : public QFrame {
    Q_OBJECT
public:
    TPanel(QWidget* parent, bool raised);
};

// A drop-down list: the user picks one of the items and cannot type.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TComboBox(QWidget* parent);
    std::string Text() const { return currentText().toStdString(); }
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }
};

class TEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TEdit(QWidget* parent);
    std::string Text() const { return text().toStdString(); }
    void SetText(const std::string& t) { setText(QString::fromStdString(t)); }
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }

private:
    std::string hint_;
};

// An edit whose text follows a mask; literal characters stay in the text.
class TMaskEdit : public TEdit {
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* parent) : TEdit(parent) {}
};

class TTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent);
};

class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    explicit TPopupMenu(QWidget* parent) : QMenu(parent) {}
};
