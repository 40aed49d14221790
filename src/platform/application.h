#pragma once
// The application object: title, main window, the message loop, the standard
// exception display and modal message boxes. One instance, `Application`.
#include <QApplication>
#include <QColor>
#include <functional>
#include <string>

#include "core/color.h"
#include "core/exception.h"

class QWidget;
using TObject = QObject;

// The toolkit application. Its notify() is the last guard: an exception that
// escapes a handler outside our own dispatch points is shown, never let into Qt.
class OstrelQtApplication : public QApplication {
public:
    OstrelQtApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Icons of the modal message box.
enum class TMsgIcon { None, Stop, Information };

class TApplication {
public:
    // Makes the toolkit application when none exists yet (tests bring their own).
    void Initialize(int& argc, char** argv);
    void SetTitle(const std::string& title);
    const std::string& Title() const { return title_; }

    // The first window created becomes the main window; Run() shows it. A null
    // form forgets the main window (it has been destroyed).
    void SetMainForm(QWidget* form);
    QWidget* MainForm() const { return mainForm_; }

    // Shows the main window and dispatches messages until Terminate().
    void Run();
    void Terminate();

    // The standard exception display: modal, captioned with the title, error
    // icon, one OK button, the exception's message.
    void ShowException(const Exception& e);
    // Shows whatever is being handled now: an Exception as it is, anything
    // else as an Exception with an empty message. Call only inside a catch.
    void HandleException();

    // A modal box with one OK button. Timers keep running underneath.
    void MessageBox(const std::string& text, const std::string& caption, TMsgIcon icon);

private:
    std::string title_;
    QWidget* mainForm_ = nullptr;
};

extern TApplication* Application;

// Runs one event handler. What it throws is shown by the exception display and
// the loop goes on: every component raises its events through here.
void Dispatch(const std::function<void()>& handler);

// Colours as the toolkit draws them (system colours from the palette).
QColor ToQColor(TColor c);
