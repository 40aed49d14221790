// The device goes away while the window is connected (an adapter pulled; here
// the simulator ended) and comes back at the same path.
#include <gtest/gtest.h>

#include <signal.h>

#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "e2e_support.h"
#include "serial/link_support.h"
#include "support/modal.h"
#include "ui/Unit1.h"

namespace {
const char* kConnectedText = "Connesso a : COM1 - 19200 8 N 1";

struct Shown {
    std::vector<double> humidity, temperature;
    std::vector<std::string> humidityLabels, temperatureLabels;
    std::string pane;
};

Shown WhatIsShown() {
    return {YValues(*Form1->LineSeries1), YValues(*Form1->Series1), Labels(*Form1->LineSeries1),
            Labels(*Form1->Series1), Form1->memTerm->Text()};
}

template <class T>
std::vector<T> Head(const std::vector<T>& v, std::size_t n) {
    return std::vector<T>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(n, v.size())));
}

void ExpectStillConnected() {
    EXPECT_TRUE(Form1->SpeedButton1->Down());
    EXPECT_EQ(Form1->SpeedButton1->Caption(), "Disconnetti");
    EXPECT_TRUE(Form1->cpdrv->Connected());
    EXPECT_TRUE(Form1->PortOpen);
    EXPECT_TRUE(Form1->Timer1->Enabled());
    EXPECT_EQ(Form1->StatusBar1->PanelText(0), kConnectedText);
}

bool BothChartsReach(int points) {
    return Form1->LineSeries1->Count() >= points && Form1->Series1->Count() >= points;
}

class DeviceGone : public ::testing::TestWithParam<int> {
protected:
    void ConnectAndChart(int points) {
        sim = std::make_unique<Simulator>(link, std::vector<std::string>{"--log", dir / "a.log"});
        window = std::make_unique<ProgramWindow>(link);
        window->ClickConnect();
        ASSERT_TRUE(PumpUntil([&] { return BothChartsReach(points); }, 60000));
    }
    void Unplug(int signal) {
        kill(sim->Pid(), signal);
        sim.reset();  // reaps it; a SIGTERM after a SIGKILL finds it already gone
    }

    TempDir dir;
    const std::string link = dir / "com1";
    ModalWatcher boxes;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<ProgramWindow> window;
};
}  // namespace

TEST_P(DeviceGone, WindowStaysConnectedIdleAndChartsGoOnWhenTheDeviceIsBack) {
    ConnectAndChart(3);
    Unplug(GetParam());
    // SIGKILL leaves the link dangling; SIGTERM lets the simulator remove it.
    EXPECT_EQ(FileExists(link), GetParam() == SIGKILL);
    PumpEvents(300);
    const Shown before = WhatIsShown();
    const int echoesBefore = CountOf(before.pane, "{F00RDD[\r");

    // Unplugged: events go on at their pace and the process sleeps.
    int beats = 0;
    qint64 longestGap = 0;
    QElapsedTimer sinceBeat;
    sinceBeat.start();
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        ++beats;
        longestGap = std::max(longestGap, sinceBeat.restart());
    });
    heartbeat.start(100);
    const double cpu0 = ProcessCpuSeconds();
    IdleFor(2000);
    const double cpu = ProcessCpuSeconds() - cpu0;
    heartbeat.stop();
    std::printf("[ figures  ] device gone (signal %d): %.3f s CPU in 2 s, %d of ~20 heartbeats, longest gap %lld ms\n",
                GetParam(), cpu, beats, static_cast<long long>(longestGap));
    EXPECT_GE(beats, 5);
    EXPECT_LT(cpu, 1.0) << "busy while the device is gone";
    ExpectStillConnected();
    const std::string paneGone = Form1->memTerm->Text();
    EXPECT_GT(CountOf(paneGone, "{F00RDD[\r"), echoesBefore) << "request ticks stopped";
    EXPECT_EQ(paneGone.substr(0, before.pane.size()), before.pane);
    EXPECT_EQ(WhatIsShown().humidity, before.humidity);

    // Plugged in again at the same path: the link is reopened by itself and
    // points join the ones already shown.
    Simulator again(link, {"--log", dir / "b.log"});
    const int grown = static_cast<int>(before.humidity.size()) + 2;
    ASSERT_TRUE(PumpUntil([&] { return BothChartsReach(grown); }, 60000))
        << Form1->LineSeries1->Count() << " humidity points, " << LoggedRequests(dir / "b.log") << " requests";
    const Shown after = WhatIsShown();
    EXPECT_EQ(Head(after.humidity, before.humidity.size()), before.humidity);
    EXPECT_EQ(Head(after.temperature, before.temperature.size()), before.temperature);
    EXPECT_EQ(Head(after.humidityLabels, before.humidityLabels.size()), before.humidityLabels);
    EXPECT_EQ(Head(after.temperatureLabels, before.temperatureLabels.size()), before.temperatureLabels);
    EXPECT_EQ(after.pane.substr(0, before.pane.size()), before.pane);
    ExpectStillConnected();

    window->ClickConnect();
    EXPECT_FALSE(Form1->cpdrv->Connected());
    EXPECT_EQ(Form1->StatusBar1->PanelText(0), "Disconnesso");
    bool onlyRequests = false;
    PumpUntil([&] { return LoggedRequests(dir / "b.log", &onlyRequests) >= 1 && onlyRequests; }, 5000);
    EXPECT_TRUE(onlyRequests) << ReadFile(dir / "b.log");
    EXPECT_TRUE(PyCanOpenExclusive(link));
    EXPECT_TRUE(boxes.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(EndedBy, DeviceGone, ::testing::Values(SIGTERM, SIGKILL),
                         [](const auto& info) { return info.param == SIGTERM ? "Sigterm" : "Sigkill"; });

TEST_F(DeviceGone, DisconnectByHandWhileTheDeviceIsGoneStaysDisconnectedWhenItIsBack) {
    ConnectAndChart(1);
    Unplug(SIGTERM);
    PumpEvents(700);
    const Shown before = WhatIsShown();

    window->ClickConnect();
    EXPECT_FALSE(Form1->SpeedButton1->Down());
    EXPECT_EQ(Form1->SpeedButton1->Caption(), "Connetti");
    EXPECT_FALSE(Form1->cpdrv->Connected());
    EXPECT_FALSE(Form1->Timer1->Enabled());
    EXPECT_EQ(Form1->StatusBar1->PanelText(0), "Disconnesso");

    Simulator again(link, {"--log", dir / "b.log"});
    PumpEvents(2500);
    EXPECT_EQ(ReadFile(dir / "b.log"), "") << "requests after the disconnect";
    EXPECT_TRUE(PyCanOpenExclusive(link)) << "the port was taken again";
    EXPECT_EQ(WhatIsShown().humidity, before.humidity);
    EXPECT_EQ(Form1->memTerm->Text(), before.pane);

    // Connecting by hand starts afresh.
    window->ClickConnect();
    ExpectStillConnected();
    EXPECT_EQ(Form1->LineSeries1->Count(), 0);
    EXPECT_TRUE(PumpUntil([&] { return BothChartsReach(1); }, 60000));
    EXPECT_TRUE(boxes.Boxes().empty());
}
