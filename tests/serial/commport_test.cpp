// The serial component alone, against pseudo-terminals.
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>

#include "core/ports.h"
#include "link_support.h"
#include "serial/CommPortDriver.h"
#include "support/modal.h"

namespace {
using Clock = std::chrono::steady_clock;
const std::string kRequest = "\x7B\x46\x30\x30\x52\x44\x44\x5B\x0D";

int MsSince(Clock::time_point t) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

std::string LockPathOf(const std::string& device) {
    char* real = realpath(device.c_str(), nullptr);
    const std::string path = std::string("/var/lock/") + LockFileName(real != nullptr ? real : device);
    free(real);
    return path;
}

// The component as the window sets it up, on COM7, which the test points at a device.
class Component : public ::testing::Test {
protected:
    void Attach(const std::string& device) {
        setenv("OSTREL_COM7", device.c_str(), 1);
        drv = std::make_unique<TCommPortDriver>(nullptr);
        drv->SetPortName("\\\\.\\COM7");
        drv->SetBaudRateValue(19200);
        drv->SetParity(ptNONE);
        drv->SetHwFlowControl(hfNONE);
        drv->OnReceiveData = [this](TObject* sender, const void* data, std::uint32_t size) {
            EXPECT_EQ(sender, drv.get());
            chunks.emplace_back(static_cast<const char*>(data), size);
        };
    }
    std::string Received() const {
        std::string all;
        for (const auto& c : chunks) all += c;
        return all;
    }
    bool ReceiveUntil(std::size_t bytes, int ms = 10000) {
        return PumpUntil([&] { return Received().size() >= bytes; }, ms);
    }
    std::unique_ptr<TCommPortDriver> drv;
    std::vector<std::string> chunks;
};

class ComponentOnPty : public Component {
protected:
    void SetUp() override { Attach(peer.Path()); }
    PtyPeer peer;
};
}  // namespace

TEST_F(ComponentOnPty, ConnectAppliesRaw8N1At19200WithoutHandshakeAndLaterSettingsAtOnce) {
    ASSERT_TRUE(drv->Connect());
    EXPECT_TRUE(drv->Connected());
    termios t{};
    ASSERT_EQ(tcgetattr(peer.Master(), &t), 0);  // a pty master reports its terminal's settings
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(cfgetispeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | INPCK | PARMRK), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);

    // Already open: true, nothing changes; a new name is ignored while open.
    drv->SetPortName("\\\\.\\COM9");
    EXPECT_TRUE(drv->Connect());
    EXPECT_EQ(drv->PortName(), "\\\\.\\COM7");

    drv->SetBaudRateValue(9600);
    drv->SetParity(ptODD);
    ASSERT_EQ(tcgetattr(peer.Master(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    // A pty keeps PARENB off whatever it is told; the odd flag shows the request.
    EXPECT_EQ(t.c_cflag & PARODD, static_cast<tcflag_t>(PARODD));
}

TEST_F(ComponentOnPty, EveryByteValuePassesUnchangedBothWays) {
    std::string all;
    for (int i = 0; i < 512; ++i) all.push_back(static_cast<char>(i & 0xFF));
    ASSERT_TRUE(drv->Connect());
    EXPECT_EQ(drv->SendData(all.data(), static_cast<unsigned>(all.size())), all.size());
    std::string out;
    PumpUntil([&] { return (out += peer.ReadAvailable()).size() >= all.size(); }, 10000);
    EXPECT_EQ(out, all);
    peer.WriteAll(all);
    ASSERT_TRUE(ReceiveUntil(all.size()));
    EXPECT_EQ(Received(), all);
}

TEST_F(ComponentOnPty, BytesQueuedBeforeTheOpenAreNeverDelivered) {
    peer.WriteAll("stale bytes sent before anyone listened\r");
    ASSERT_TRUE(drv->Connect());
    PumpEvents(200);
    peer.WriteAll("fresh");
    ASSERT_TRUE(ReceiveUntil(5));
    PumpEvents(100);
    EXPECT_EQ(Received(), "fresh");
}

TEST_F(ComponentOnPty, ChunksStayWithinTheBufferAndNothingIsLostWhenMoreIsQueued) {
    std::string pattern;
    for (int i = 0; i < 20000; ++i) pattern.push_back(static_cast<char>('A' + (i * 7) % 53));
    ASSERT_TRUE(drv->Connect());
    // Queue more than one buffer before the component gets a chance to poll.
    const std::size_t first = peer.WriteSome(pattern);
    ASSERT_GT(first, 2 * TCommPortDriver::kInBufSize);
    peer.WriteAll(pattern.substr(first));
    ASSERT_TRUE(ReceiveUntil(pattern.size(), 30000));
    EXPECT_EQ(Received(), pattern);
    std::size_t largest = 0;
    for (const auto& c : chunks) {
        EXPECT_GE(c.size(), 1u);
        EXPECT_LE(c.size(), TCommPortDriver::kInBufSize);
        largest = std::max(largest, c.size());
    }
    EXPECT_EQ(largest, TCommPortDriver::kInBufSize);
}

TEST_F(ComponentOnPty, AfterDisconnectNoReceiveEventArrivesAndNothingIsWritten) {
    ASSERT_TRUE(drv->Connect());
    peer.WriteAll("on its way");
    drv->Disconnect();
    PumpEvents(300);
    EXPECT_TRUE(chunks.empty());
    EXPECT_FALSE(drv->Connected());
    EXPECT_EQ(drv->SendData(kRequest.data(), 9), 0u);
    drv->Disconnect();  // closed: nothing happens
    EXPECT_FALSE(drv->Connected());
}

TEST_F(ComponentOnPty, SendDataGivesUpAfterHalfASecondWithoutProgress) {
    ASSERT_TRUE(drv->Connect());
    // The peer never reads: the terminal's queue fills up.
    const std::string big(1 << 20, 'x');
    auto t0 = Clock::now();
    const unsigned sent = drv->SendData(big.data(), static_cast<unsigned>(big.size()));
    const int firstMs = MsSince(t0);
    EXPECT_GT(sent, 0u);
    EXPECT_LT(sent, big.size());
    t0 = Clock::now();
    EXPECT_EQ(drv->SendData(kRequest.data(), 9), 0u);
    const int secondMs = MsSince(t0);
    std::printf("[ figures  ] blocked write: %u bytes then gave up after %d ms; next request gave up after %d ms\n",
                sent, firstMs, secondMs);
    EXPECT_GE(secondMs, 450);  // it did wait for room, as long as the give-up time
    EXPECT_TRUE(drv->Connected());
    // Once the peer drains the queue, writing goes on.
    PumpUntil([&] { return peer.ReadAvailable().empty(); }, 5000);
    EXPECT_EQ(drv->SendData(kRequest.data(), 9), 9u);
}

TEST_F(ComponentOnPty, ANameThatLeadsNowhereFailsAndLeavesItClosed) {
    setenv("OSTREL_COM7", "/nonexistent/ostrel-port", 1);
    EXPECT_FALSE(drv->Connect());
    EXPECT_FALSE(drv->Connected());
    // Not a terminal: the settings are refused, the device is closed again.
    TempDir dir;
    std::ofstream(dir / "plain") << "x";
    setenv("OSTREL_COM7", (dir / "plain").c_str(), 1);
    EXPECT_FALSE(drv->Connect());
    EXPECT_FALSE(FileExists(LockPathOf(dir / "plain")));
    setenv("OSTREL_COM7", peer.Path().c_str(), 1);
    EXPECT_TRUE(drv->Connect());
}

TEST_F(ComponentOnPty, ExclusiveAgainstAFlockHolder) {
    {
        PyHolder holder(peer.Path());
        ASSERT_TRUE(holder.Holding());
        EXPECT_FALSE(drv->Connect());
        EXPECT_FALSE(drv->Connected());
    }
    ASSERT_TRUE(drv->Connect());
    EXPECT_FALSE(PyCanOpenExclusive(peer.Path()));
    drv->Disconnect();
    EXPECT_TRUE(PyCanOpenExclusive(peer.Path()));
}

TEST_F(ComponentOnPty, ExclusiveAgainstALockFileHolderAndPastAStaleLockFile) {
    const std::string lock = LockPathOf(peer.Path());
    {
        Sleeper owner;
        std::ofstream(lock) << owner.Pid() << "\nminicom\nhost\n";
        EXPECT_FALSE(drv->Connect());
        EXPECT_TRUE(FileExists(lock)) << "somebody else's lock file was removed";
    }
    // Its owner is gone: the lock is stale and taken over.
    std::ofstream(lock) << "  " << DeadPid() << "\nminicom\nhost\n";
    ASSERT_TRUE(drv->Connect());
    char expected[16];
    std::snprintf(expected, sizeof expected, "%10d\n", static_cast<int>(getpid()));
    EXPECT_EQ(ReadFile(lock).substr(0, 11), expected);
    drv->Disconnect();
    EXPECT_FALSE(FileExists(lock));
}

TEST_F(ComponentOnPty, WhileConnectedOthersAreKeptOutAlsoRoot) {
    ASSERT_TRUE(drv->Connect());
    EXPECT_TRUE(FileExists(LockPathOf(peer.Path())));
    EXPECT_FALSE(PyCanOpenExclusive(peer.Path()));
    // A plain open: refused for ordinary users; root gets in but sees the port marked exclusive.
    const int fd = open(peer.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd >= 0) {
        int exclusive = 0;
        EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
        EXPECT_NE(exclusive, 0);
        close(fd);
    }
    drv.reset();  // destruction closes the device
    EXPECT_FALSE(FileExists(LockPathOf(peer.Path())));
    EXPECT_TRUE(PyCanOpenExclusive(peer.Path()));
}

TEST_F(Component, DeviceVanishingMidStreamThenComingBack) {
    TempDir dir;
    const std::string link = dir / "com7";
    Simulator sim(link, {"--flood", "--noise", "--seed", "7"});
    Attach(link);
    ASSERT_TRUE(drv->Connect());
    ASSERT_TRUE(ReceiveUntil(500));

    sim.Stop();
    PumpEvents(300);
    EXPECT_TRUE(drv->Connected());
    auto t0 = Clock::now();
    EXPECT_EQ(drv->SendData(kRequest.data(), 9), 0u);
    std::printf("[ figures  ] write while the device is gone returned after %d ms\n", MsSince(t0));

    const double cpu0 = ProcessCpuSeconds();
    t0 = Clock::now();
    IdleFor(2000);
    const double cpu = ProcessCpuSeconds() - cpu0;
    std::printf("[ figures  ] device gone: %.3f s CPU in %.2f s of wall time\n", cpu, MsSince(t0) / 1000.0);
    EXPECT_LT(cpu, 1.0);  // nowhere near a busy loop

    // Back at the same path: reopened by itself, queued input discarded.
    Simulator again(link, {"--log", dir / "requests.log"});
    chunks.clear();
    const bool answered = PumpUntil(
        [&] {
            drv->SendData(kRequest.data(), 9);
            PumpEvents(100);
            return Received().find("\r") != std::string::npos;
        },
        15000);
    EXPECT_TRUE(answered);
    EXPECT_EQ(Received().substr(0, 1), "{");
    EXPECT_EQ(LoggedBytes(dir / "requests.log").substr(0, 9), kRequest);

    drv->Disconnect();
    EXPECT_FALSE(drv->Connected());
    ASSERT_TRUE(drv->Connect());
    chunks.clear();
    drv->SendData(kRequest.data(), 9);
    EXPECT_TRUE(ReceiveUntil(45));
}

TEST_F(Component, DisconnectWhileTheDeviceIsGoneAndConnectOnceItIsBack) {
    TempDir dir;
    const std::string link = dir / "com7";
    Simulator sim(link);
    Attach(link);
    ASSERT_TRUE(drv->Connect());
    sim.Stop();
    PumpEvents(700);
    drv->Disconnect();
    EXPECT_FALSE(drv->Connected());
    EXPECT_FALSE(drv->Connect());  // nothing at the path
    sim.Start();
    ASSERT_TRUE(drv->Connect());
    drv->SendData(kRequest.data(), 9);
    EXPECT_TRUE(ReceiveUntil(45));
}
