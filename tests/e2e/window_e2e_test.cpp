// The whole receive-and-chart cycle in one process: the program's window, a real
// click on the connect toggle, the real serial component on a pseudo-terminal
// and the transmitter simulator at the far end.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>

#include "e2e_support.h"
#include "serial/link_support.h"
#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
// Whether `text` has the shape of `pattern`: '9' a digit, '+' a sign, '?' any
// printable character, anything else itself.
bool Shaped(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool ok = pattern[i] == '9'   ? std::isdigit(c) != 0
                        : pattern[i] == '+' ? c == '+' || c == '-'
                        : pattern[i] == '?' ? c >= 0x20 && c <= 0x7F
                                            : c == static_cast<unsigned char>(pattern[i]);
        if (!ok) return false;
    }
    return true;
}

// Whether the text holds an escape of a byte, "[" two uppercase hex digits "]".
bool HasEscape(const std::string& text) {
    auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    for (std::size_t i = 0; i + 3 < text.size(); ++i)
        if (text[i] == '[' && hex(text[i + 1]) && hex(text[i + 2]) && text[i + 3] == ']') return true;
    return false;
}

// Foreground colours of the pane, one entry per line: the colour when the
// whole line has one, else an invalid colour.
std::vector<QColor> LineColours(const QTextDocument& doc) {
    std::vector<QColor> colours;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QColor line;
        bool mixed = false;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QColor c = it.fragment().charFormat().foreground().color();
            if (!line.isValid())
                line = c;
            else if (c != line)
                mixed = true;
        }
        colours.push_back(mixed ? QColor() : line);
    }
    return colours;
}

// Each chart holds exactly the pane's chartable answers, in order, at single precision.
void ExpectChartsMatchPane(const std::vector<PaneAnswer>& answers) {
    std::vector<double> humidity, temperature;
    for (const PaneAnswer& a : answers) {
        if (a.humidity) humidity.push_back(static_cast<double>(*a.humidity));
        if (a.temperature) temperature.push_back(static_cast<double>(*a.temperature));
    }
    EXPECT_EQ(YValues(*Form1->LineSeries1), humidity);
    EXPECT_EQ(YValues(*Form1->Series1), temperature);
}

class ProgramOnSimulator : public ::testing::Test {
protected:
    void Run(const std::vector<std::string>& simOptions, int answersWanted) {
        std::vector<std::string> options{"--log", dir / "sim.log"};
        options.insert(options.end(), simOptions.begin(), simOptions.end());
        sim = std::make_unique<Simulator>(dir / "com1", options);
        window = std::make_unique<ProgramWindow>(dir / "com1");

        from = std::time(nullptr);
        clock.start();
        window->ClickConnect();
        EXPECT_EQ(Form1->SpeedButton1->Caption(), "Disconnetti");
        EXPECT_TRUE(Form1->cpdrv->Connected());
        EXPECT_EQ(Form1->StatusBar1->PanelText(0), "Connesso a : COM1 - 19200 8 N 1");
        ASSERT_TRUE(PumpUntil([&] { return Form1->LineSeries1->Count() >= answersWanted; }, 60000))
            << "humidity points: " << Form1->LineSeries1->Count();
        EXPECT_EQ(Form1->StatusBar1->PanelText(0), "Connesso a : COM1 - 19200 8 N 1");

        window->ClickConnect();
        seconds = clock.elapsed() / 1000.0;
        to = std::time(nullptr);
        EXPECT_EQ(Form1->SpeedButton1->Caption(), "Connetti");
        EXPECT_FALSE(Form1->cpdrv->Connected());
        EXPECT_EQ(Form1->StatusBar1->PanelText(0), "Disconnesso");
        pane = Form1->memTerm->Text();
        echoes = CountOf(pane, "{F00RDD[\r");
        // The last request may still wait in the line for the simulator to read it.
        EXPECT_TRUE(PumpUntil([&] { return LoggedRequests(dir / "sim.log") >= echoes; }, 10000));
    }

    TempDir dir;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<ProgramWindow> window;
    ModalWatcher boxes;
    QElapsedTimer clock;
    std::time_t from = 0, to = 0;
    double seconds = 0;
    std::string pane;
    int echoes = 0;
};
}  // namespace

TEST_F(ProgramOnSimulator, ConnectPollsChartsEveryAnswerAndDisconnectFreesThePort) {
    Run({}, 4);

    // The wire: nothing but whole requests, one per period.
    bool onlyRequests = false;
    const int requests = LoggedRequests(dir / "sim.log", &onlyRequests);
    EXPECT_TRUE(onlyRequests) << ReadFile(dir / "sim.log");
    EXPECT_EQ(requests, echoes);
    std::printf("[ figures  ] %d requests in %.2f s connected (%.2f per second)\n", requests, seconds,
                requests / seconds);
    EXPECT_GE(requests, 4);
    EXPECT_LE(requests, seconds / 0.9 + 1);
    EXPECT_GE(requests, seconds / 2.5 - 1);

    // The pane: echo lines in green, every answer whole in blue.
    const std::vector<std::string> lines = PaneLines(pane);
    const std::vector<QColor> colours = LineColours(*Form1->memTerm->document());
    ASSERT_EQ(lines.size(), colours.size());
    int answerLines = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        if (lines[i] == "{F00RDD[") {
            EXPECT_EQ(colours[i], ToQColor(clGreen)) << "line " << i;
        } else {
            EXPECT_TRUE(Shaped(lines[i], "{F00RDD!001 999.99 %RH 000 T +99.99 oC 000 ?")) << "line " << i << ": " << lines[i];
            EXPECT_EQ(colours[i], ToQColor(clBlue)) << "line " << i << ": " << lines[i];
            ++answerLines;
        }
    }
    // The answer to the last request may have been on its way at the disconnect.
    EXPECT_GE(answerLines, echoes - 1);
    EXPECT_LE(answerLines, echoes);

    // The charts: one point of each per answer, with the values sent, labelled
    // with the time of day of their arrival.
    const std::vector<PaneAnswer> answers = AnswersInPane(pane);
    EXPECT_EQ(static_cast<int>(answers.size()), answerLines);
    EXPECT_EQ(Form1->LineSeries1->Count(), answerLines);
    EXPECT_EQ(Form1->Series1->Count(), answerLines);
    ExpectChartsMatchPane(answers);
    const std::vector<std::string> times = LabelsBetween(from, to);
    for (const auto* series : {Form1->LineSeries1, Form1->Series1})
        for (const std::string& label : Labels(*series))
            EXPECT_NE(std::find(times.begin(), times.end(), label), times.end()) << label;

    // Polling has stopped and another program may take the port at once.
    EXPECT_TRUE(PyCanOpenExclusive(dir / "com1"));
    PumpEvents(2500);
    EXPECT_EQ(LoggedRequests(dir / "sim.log"), requests);
    EXPECT_EQ(Form1->memTerm->Text(), pane);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ProgramOnSimulator, NoisyLineShowsEscapesAndChartsOnlyWhatTheFramesHold) {
    // This seed puts control bytes and bytes above 0x7F near the first answers.
    Run({"--noise", "--seed", "7"}, 6);

    EXPECT_TRUE(HasEscape(pane)) << pane;
    for (const char c : pane)
        EXPECT_TRUE(c == '\r' || (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) <= 0x7F))
            << "raw byte " << static_cast<int>(static_cast<unsigned char>(c)) << " in the pane";
    ExpectChartsMatchPane(AnswersInPane(pane));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(Form1->StatusBar1->PanelText(0), "Disconnesso");
}
