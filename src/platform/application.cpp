#include "platform/application.h"

#include <QMessageBox>
#include <QPalette>
#include <QWidget>

namespace {
TApplication theApplication;
}
TApplication* Application = &theApplication;

OstrelQtApplication::OstrelQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool OstrelQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Application->HandleException();
        return false;
    }
}

void TApplication::Initialize(int& argc, char** argv) {
    if (QApplication::instance() == nullptr) new OstrelQtApplication(argc, argv);
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QString::fromStdString(title));
}

void TApplication::SetMainForm(QWidget* form) {
    if (mainForm_ == nullptr || form == nullptr) mainForm_ = form;
}

void TApplication::Run() {
    if (mainForm_ != nullptr) mainForm_->show();
    QApplication::exec();
}

void TApplication::Terminate() { QApplication::quit(); }

void TApplication::ShowException(const Exception& e) {
    MessageBox(e.Message(), title_, TMsgIcon::Stop);
}

void TApplication::HandleException() {
    try {
        throw;
    } catch (const Exception& e) {
        ShowException(e);
    } catch (...) {
        ShowException(Exception(""));
    }
}

void TApplication::MessageBox(const std::string& text, const std::string& caption, TMsgIcon icon) {
    QMessageBox box(icon == TMsgIcon::Stop          ? QMessageBox::Critical
                    : icon == TMsgIcon::Information ? QMessageBox::Information
                                                    : QMessageBox::NoIcon,
                    QString::fromStdString(caption),
                    // A bare carriage return separates lines in the program's texts.
                    QString::fromStdString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                    QMessageBox::Ok,
                    mainForm_);
    box.exec();
}

void Dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        Application->HandleException();
    }
}

QColor ToQColor(TColor c) {
    if (IsSystemColor(c)) {
        const QPalette pal = QApplication::palette();
        switch (c) {
        case clBtnFace: return pal.color(QPalette::Button);
        case clBtnHighlight: return pal.color(QPalette::Light);
        case clWindowText: return pal.color(QPalette::WindowText);
        default: return pal.color(QPalette::Window);
        }
    }
    const Rgb rgb = ToRgb(c);
    return QColor(rgb.r, rgb.g, rgb.b);
}
