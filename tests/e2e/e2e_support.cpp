#include "e2e_support.h"

#include <stdlib.h>

#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "app/startup.h"
#include "core/time_label.h"
#include "platform/application.h"
#include "serial/link_support.h"
#include "ui/Unit1.h"

ProgramWindow::ProgramWindow(const std::string& link) {
    setenv("OSTREL_COM1", link.c_str(), 1);
    CreateMainForm();
    Form1->show();
    if (!QTest::qWaitForWindowExposed(Form1, 20000)) throw std::runtime_error("window not shown");
}

ProgramWindow::~ProgramWindow() {
    delete Form1;
    Form1 = nullptr;
    Application->SetMainForm(nullptr);
    unsetenv("OSTREL_COM1");
}

void ProgramWindow::ClickConnect() { QTest::mouseClick(Form1->SpeedButton1, Qt::LeftButton); }

std::vector<std::string> PaneLines(const std::string& paneText) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t cr; (cr = paneText.find('\r', from)) != std::string::npos; from = cr + 1)
        lines.push_back(paneText.substr(from, cr - from));
    lines.push_back(paneText.substr(from));
    return lines;
}

namespace {
std::optional<float> Field(const std::string& frame, std::size_t at) {
    const std::string text = frame.substr(at, 6);
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(d)) return std::nullopt;
    return static_cast<float>(d);
}
}  // namespace

std::vector<PaneAnswer> AnswersInPane(const std::string& paneText) {
    std::vector<PaneAnswer> answers;
    std::vector<std::string> lines = PaneLines(paneText);
    lines.pop_back();  // not finished by a carriage return
    for (const std::string& line : lines) {
        const auto brace = line.rfind('{');
        if (brace == std::string::npos || line.size() - brace < 44) continue;
        PaneAnswer a;
        a.frame = line.substr(brace);
        a.humidity = Field(a.frame, 12);
        a.temperature = Field(a.frame, 29);
        answers.push_back(a);
    }
    return answers;
}

int CountOf(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + needle.size())) ++n;
    return n;
}

int LoggedRequests(const std::string& logPath, bool* onlyRequests) {
    const std::string bytes = LoggedBytes(logPath);
    const int n = CountOf(bytes, kRequest);
    if (onlyRequests != nullptr) *onlyRequests = bytes.size() == static_cast<std::size_t>(n) * kRequest.size();
    return n;
}

std::vector<double> YValues(const TLineSeries& series) {
    std::vector<double> v;
    for (int i = 0; i < series.Count(); ++i) v.push_back(series.YValue(i));
    return v;
}

std::vector<std::string> Labels(const TLineSeries& series) {
    std::vector<std::string> v;
    for (int i = 0; i < series.Count(); ++i) v.push_back(series.Label(i));
    return v;
}

std::vector<std::string> LabelsBetween(std::time_t from, std::time_t to) {
    std::vector<std::string> v;
    for (std::time_t t = from; t <= to; ++t) v.push_back(TimeOfDayLabel(t));
    return v;
}
