// The window's connect, disconnect and request handlers on pseudo-terminals.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTextCursor>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>

#include "link_support.h"
#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
const std::string kRequest = "\x7B\x46\x30\x30\x52\x44\x44\x5B\x0D";
const char* kFailureText = "Impossibile aprire la seriale locale\nVerificare che non sia già aperta";

int Count(const std::string& haystack, const std::string& needle) {
    int n = 0;
    for (auto at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) ++n;
    return n;
}

// The window on COM3, which points at `device`; Timer1's ticks are counted.
class Window : public ::testing::Test {
protected:
    void Attach(const std::string& device) {
        setenv("OSTREL_COM3", device.c_str(), 1);
        form = std::make_unique<TForm1>();
        form->cboxSer->SetItemIndex(2);
        form->Timer1->OnTimer = [this](TObject* s) {
            ++ticks;
            form->Timer1Timer(s);
        };
    }
    void Click() { form->SpeedButton1->click(); }
    void ExpectIdle() {
        EXPECT_FALSE(form->SpeedButton1->Down());
        EXPECT_EQ(form->SpeedButton1->Caption(), "Connetti");
        EXPECT_FALSE(form->cpdrv->Connected());
        EXPECT_FALSE(form->PortOpen);
        EXPECT_EQ(form->StatusBar1->Color(), clBtnFace);
        EXPECT_EQ(form->StatusBar1->PanelText(0), "Disconnesso");
        EXPECT_TRUE(form->cboxSer->isEnabled());
        EXPECT_TRUE(form->editTimer->isEnabled());
        EXPECT_TRUE(form->btnCONNETTI->isEnabled());
        EXPECT_FALSE(form->btnDISCONNETTI->isEnabled());
        EXPECT_FALSE(form->btnTimer->Down());
        EXPECT_FALSE(form->Timer1->Enabled());
    }
    void ExpectConnected() {
        EXPECT_TRUE(form->SpeedButton1->Down());
        EXPECT_EQ(form->SpeedButton1->Caption(), "Disconnetti");
        EXPECT_TRUE(form->cpdrv->Connected());
        EXPECT_TRUE(form->PortOpen);
        EXPECT_EQ(form->StatusBar1->Color(), clSkyBlue);
        EXPECT_EQ(form->StatusBar1->PanelText(0), "Connesso a : COM3 - 19200 8 N 1");
        EXPECT_FALSE(form->cboxSer->isEnabled());
        EXPECT_FALSE(form->editTimer->isEnabled());
        EXPECT_FALSE(form->btnCONNETTI->isEnabled());
        EXPECT_TRUE(form->btnDISCONNETTI->isEnabled());
        EXPECT_TRUE(form->btnTimer->Down());
        EXPECT_TRUE(form->Timer1->Enabled());
    }
    std::unique_ptr<TForm1> form;
    int ticks = 0;
};

class WindowOnPty : public Window {
protected:
    void SetUp() override { Attach(peer.Path()); }
    PtyPeer peer;
};
}  // namespace

TEST_F(WindowOnPty, ConnectRequestsOnePeriodLaterWithTheFixedFrameAndDisconnectStopsThem) {
    ExpectIdle();
    QElapsedTimer clock;
    clock.start();
    Click();
    ExpectConnected();
    EXPECT_EQ(form->Timer1->Interval(), 1000);
    EXPECT_EQ(peer.ReadAvailable(), "") << "a request at the connect";

    std::string wire;
    ASSERT_TRUE(PumpUntil([&] { return !(wire += peer.ReadAvailable()).empty(); }, 10000));
    const qint64 firstMs = clock.elapsed();
    std::printf("[ figures  ] first request %lld ms after the connect\n", static_cast<long long>(firstMs));
    EXPECT_GE(firstMs, 900);
    PumpUntil([&] { return ticks >= 3; }, 20000);
    wire += peer.ReadAvailable();

    std::string expected;
    for (int i = 0; i < ticks; ++i) expected += kRequest;
    EXPECT_EQ(wire, expected);
    // One echo line per request, "{F00RDD[" in TxColor.
    const std::string pane = form->memTerm->Text();
    EXPECT_EQ(Count(pane, "{F00RDD["), ticks) << pane;
    QTextCursor c(form->memTerm->document());
    c.setPosition(2);
    EXPECT_EQ(c.charFormat().foreground().color(), ToQColor(clGreen));

    Click();
    ExpectIdle();
    PumpEvents(1500);
    EXPECT_EQ(peer.ReadAvailable(), "");
}

TEST_F(WindowOnPty, PeriodTextGivesTheIntervalTruncatedWithAHalfSecondFloor) {
    struct Case {
        const char* text;
        int ms;
        const char* after;
    };
    const Case cases[] = {{"1", 1000, "1"},           {"0.5", 500, "0.5"},       {"0.2", 500, "0.5"},
                          {"1.0005", 1000, "1.0005"}, {"2.9999", 2999, "2.9999"}, {"-3", 500, "0.5"}};
    for (const Case& c : cases) {
        form->editTimer->SetText(c.text);
        Click();
        EXPECT_TRUE(form->Timer1->Enabled()) << c.text;
        EXPECT_EQ(form->Timer1->Interval(), c.ms) << c.text;
        EXPECT_EQ(form->editTimer->Text(), c.after) << c.text;
        Click();
    }
}

TEST_F(WindowOnPty, PeriodThatIsNoNumberShowsTheConversionErrorAndPollingStaysOff) {
    ModalWatcher boxes;
    form->editTimer->SetText("abc");
    form->Series1->Add(1, "x", clRed);
    Click();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Ostrel demo");
    EXPECT_EQ(boxes.Boxes()[0].text, "'abc' is not a valid floating point value");
    EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->Series1->Count(), 0);  // cleared before the period was read
    PumpEvents(1500);
    EXPECT_EQ(peer.ReadAvailable(), "");
    Click();
    ExpectIdle();
}

TEST_F(WindowOnPty, PortHeldElsewhereShowsTheFailureBoxThenOpenFailedThenIdle) {
    PyHolder holder(peer.Path());
    ASSERT_TRUE(holder.Holding());
    ModalWatcher boxes;
    Click();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const ShownBox& box = boxes.Boxes()[0];
    EXPECT_EQ(box.caption, "Seriale Locale");
    EXPECT_EQ(box.text, QString::fromUtf8(kFailureText));
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttonCount, 1);

    // Open failed: toggle down, port selection locked, nothing connected.
    EXPECT_TRUE(form->SpeedButton1->Down());
    EXPECT_EQ(form->SpeedButton1->Caption(), "Disconnetti");
    EXPECT_FALSE(form->cboxSer->isEnabled());
    EXPECT_FALSE(form->editTimer->isEnabled());
    EXPECT_TRUE(form->btnCONNETTI->isEnabled());
    EXPECT_FALSE(form->btnDISCONNETTI->isEnabled());
    EXPECT_FALSE(form->PortOpen);
    EXPECT_EQ(form->StatusBar1->Color(), clBtnFace);
    EXPECT_EQ(form->StatusBar1->PanelText(0), "Disconnesso");
    EXPECT_FALSE(form->Timer1->Enabled());

    Click();
    ExpectIdle();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(WindowOnPty, ReconnectClearsBothChartsAndThePane) {
    Click();
    form->Series1->Add(21.5, "t", clRed);
    form->LineSeries1->Add(45.0, "h", clRed);
    form->memTerm->LinesAdd("old text");
    Click();
    EXPECT_EQ(form->Series1->Count(), 1);  // a disconnect keeps what is shown
    Click();
    ExpectConnected();
    EXPECT_EQ(form->Series1->Count(), 0);
    EXPECT_EQ(form->LineSeries1->Count(), 0);
    EXPECT_EQ(form->memTerm->GetTextLen(), 0);
}

TEST_F(WindowOnPty, ATickWhoseWriteIsBlockedGivesUpAndTicksGoOn) {
    form->editTimer->SetText("0.5");
    Click();
    // The peer reads nothing: fill the line until writing stalls.
    const std::string big(1 << 20, 'x');
    ASSERT_LT(form->cpdrv->SendData(big.data(), static_cast<unsigned>(big.size())), big.size());
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }, 20000));
    EXPECT_EQ(Count(form->memTerm->Text(), "{F00RDD["), ticks);
    EXPECT_TRUE(form->Timer1->Enabled());
    ExpectConnected();
}

TEST_F(WindowOnPty, ATickThatCannotReopenThePortShowsOneFailureBoxAtATime) {
    form->editTimer->SetText("0.5");
    Click();
    auto holder = std::make_unique<PyHolder>((form->cpdrv->Disconnect(), peer.Path()));
    ASSERT_TRUE(holder->Holding());

    // Keep each box open for two seconds; note how many are open at once.
    int shown = 0, mostAtOnce = 0, ticksUnderBox = 0;
    std::vector<QString> captions;
    QElapsedTimer openFor;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        int open = 0;
        QMessageBox* oldest = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b != nullptr && b->isVisible()) {
                ++open;
                if (oldest == nullptr) oldest = b;
            }
        mostAtOnce = std::max(mostAtOnce, open);
        if (open == 0) return;
        if (!openFor.isValid()) {
            openFor.start();
            ++shown;
            captions.push_back(oldest->windowTitle());
            ticksUnderBox = -ticks;
        }
        if (openFor.elapsed() >= 2000) {
            ticksUnderBox += ticks;
            openFor.invalidate();
            oldest->done(QMessageBox::Ok);
        }
    });
    watch.start(20);
    ASSERT_TRUE(PumpUntil([&] { return shown >= 2 && !openFor.isValid(); }, 30000))
        << "boxes " << shown << ", open for " << (openFor.isValid() ? openFor.elapsed() : -1) << " ms, ticks "
        << ticks << ", connected " << form->cpdrv->Connected();
    EXPECT_EQ(mostAtOnce, 1);
    for (const QString& c : captions) EXPECT_EQ(c, "Seriale Locale");
    std::printf("[ figures  ] %d ticks while a failure box stood open for 2 s\n", ticksUnderBox);

    // The port is free again: the next tick reopens it and requests reach the line.
    holder.reset();
    ASSERT_TRUE(PumpUntil([&] { return form->cpdrv->Connected(); }, 10000));
    std::string wire;
    EXPECT_TRUE(PumpUntil([&] { return (wire += peer.ReadAvailable()).find(kRequest) != std::string::npos; }, 10000));
    EXPECT_TRUE(form->PortOpen);
}

TEST_F(Window, DeviceGoneLeavesTheWindowConnectedAndTheLinkComesBackByItself) {
    TempDir dir;
    const std::string link = dir / "com3";
    auto sim = std::make_unique<Simulator>(link, std::vector<std::string>{"--log", dir / "a.log"});
    Attach(link);
    Click();
    ASSERT_TRUE(PumpUntil([&] { return LoggedBytes(dir / "a.log").size() >= 9; }, 10000));

    sim.reset();
    const int ticksBefore = ticks;
    const double cpu0 = ProcessCpuSeconds();
    IdleFor(2500);
    std::printf("[ figures  ] window with the device gone: %.3f s CPU in 2.5 s, %d ticks\n",
                ProcessCpuSeconds() - cpu0, ticks - ticksBefore);
    EXPECT_GE(ticks - ticksBefore, 1);  // ticks go on, echoing
    ExpectConnected();

    Simulator again(link, {"--log", dir / "b.log"});
    EXPECT_TRUE(PumpUntil([&] { return LoggedBytes(dir / "b.log").find(kRequest) != std::string::npos; }, 15000));
    EXPECT_EQ(LoggedBytes(dir / "b.log").substr(0, 9), kRequest);
    ExpectConnected();

    Click();
    ExpectIdle();
    Click();
    ExpectConnected();
}
