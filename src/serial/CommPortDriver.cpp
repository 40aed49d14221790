#include "serial/CommPortDriver.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "core/ports.h"

namespace {
constexpr const char* kLockDir = "/var/lock/";

speed_t SpeedOf(unsigned baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

bool ProcessAlive(long pid) { return pid > 0 && pid <= INT_MAX && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// The pid written in a lock file ("%10d\n..." or Qt's "pid\n..."), 0 if none.
long LockOwner(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[32] = {};
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    return n > 0 ? std::strtol(text, nullptr, 10) : 0;
}

// Makes the lock file that minicom, Qt and the like respect. Returns false when
// a live process holds one; an unwritable lock folder is no reason to fail.
bool AcquireLockFile(const std::string& path, std::string& made) {
    made.clear();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char host[256] = {};
            gethostname(host, sizeof host - 1);
            char text[400];
            const int len = std::snprintf(text, sizeof text, "%10d\n%s\n%s\n", static_cast<int>(getpid()),
                                          "ostrel-demo", host);
            const bool written = write(fd, text, static_cast<std::size_t>(len)) == len;
            close(fd);
            if (!written) {
                unlink(path.c_str());
                return true;
            }
            made = path;
            return true;
        }
        if (errno != EEXIST) return true;
        if (ProcessAlive(LockOwner(path))) return false;
        unlink(path.c_str());  // left behind by a process that is gone
    }
    return false;
}

void ReleaseLockFile(std::string& made) {
    if (!made.empty()) unlink(made.c_str());
    made.clear();
}

bool IsGone(int err) { return err == EIO || err == ENXIO || err == ENODEV || err == EBADF; }
}  // namespace

TCommPortDriver::TCommPortDriver(QObject* parent) : QObject(parent) {
    pollTimer_.setInterval(kPollingDelayMs);
    connect(&pollTimer_, &QTimer::timeout, this, [this] { Poll(); });
}

TCommPortDriver::~TCommPortDriver() { Disconnect(); }

void TCommPortDriver::SetPortName(const std::string& name) {
    if (!connected_) portName_ = name;
}

void TCommPortDriver::SetBaudRateValue(unsigned baud) {
    baud_ = baud;
    if (fd_ >= 0) ApplyLineSettings();
}

void TCommPortDriver::SetParity(TParity parity) {
    parity_ = parity;
    if (fd_ >= 0) ApplyLineSettings();
}

void TCommPortDriver::SetHwFlowControl(THwFlowControl flow) {
    hwFlow_ = flow;
    if (fd_ >= 0 && ApplyLineSettings()) SetModemLines();
}

bool TCommPortDriver::Connect() {
    if (connected_) return true;
    if (!OpenDevice()) return false;
    connected_ = true;
    pollTimer_.start(kPollingDelayMs);
    return true;
}

void TCommPortDriver::Disconnect() {
    if (!connected_) return;
    pollTimer_.stop();
    CloseDevice();
    connected_ = false;
}

bool TCommPortDriver::OpenDevice() {
    // Resolve links (OSTREL_COMn may name one) so that everybody locks the same name.
    char* real = realpath(PortDevicePath(portName_).c_str(), nullptr);
    if (real == nullptr) return false;
    const std::string device = real;
    std::free(real);

    if (!AcquireLockFile(kLockDir + LockFileName(device), lockPath_)) return false;
    fd_ = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        ReleaseLockFile(lockPath_);
        return false;
    }
    // flock stops picocom, tio and pyserial; TIOCEXCL stops plain opens by
    // anyone but root; the lock file stops minicom and Qt.
    int exclusive = 0;
    bool ok = flock(fd_, LOCK_EX | LOCK_NB) == 0;
    ok = ok && !(ioctl(fd_, TIOCGEXCL, &exclusive) == 0 && exclusive != 0);
    ok = ok && ioctl(fd_, TIOCEXCL) == 0;
    ok = ok && ApplyLineSettings();
    if (ok) SetModemLines();
    // What the transmitter sent before the open is not ours to deliver.
    ok = ok && tcflush(fd_, TCIOFLUSH) == 0;
    if (!ok) {
        CloseDevice();
        return false;
    }
    return true;
}

void TCommPortDriver::CloseDevice() {
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        close(fd_);  // releases the flock
        fd_ = -1;
    }
    ReleaseLockFile(lockPath_);
}

bool TCommPortDriver::ApplyLineSettings() {
    termios t{};
    if (tcgetattr(fd_, &t) != 0) return false;
    const speed_t speed = SpeedOf(baud_);
    if (speed == B0) return false;
    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    switch (parity_) {
    case ptNONE: break;
    case ptODD: t.c_cflag |= PARENB | PARODD; break;
    case ptEVEN: t.c_cflag |= PARENB; break;
    case ptMARK: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case ptSPACE: t.c_cflag |= PARENB | CMSPAR; break;
    }
    if (hwFlow_ == hfRTSCTS) t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    return cfsetispeed(&t, speed) == 0 && cfsetospeed(&t, speed) == 0 && tcsetattr(fd_, TCSANOW, &t) == 0;
}

void TCommPortDriver::SetModemLines() {
    // DTR active; RTS active only for hfNONERTSON, and left to the driver with
    // RTS/CTS handshake. A pseudo-terminal has no modem lines: ENOTTY/EINVAL
    // there is no failure.
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ioctl(fd_, TIOCMBIS, &dtr);
    if (hwFlow_ == hfNONE) ioctl(fd_, TIOCMBIC, &rts);
    if (hwFlow_ == hfNONERTSON) ioctl(fd_, TIOCMBIS, &rts);
}

void TCommPortDriver::Poll() {
    if (fd_ < 0) {
        TryReopen();
        return;
    }
    // Line errors need no clearing here: without PARMRK and INPCK the driver
    // latches none, and a damaged byte arrives as a byte like any other.
    const ssize_t n = read(fd_, rxBuf_.data(), rxBuf_.size());
    if (n > 0) {
        // Polls go on inside a modal box that the event leads to (the exception
        // display); Qt would hold back the running timer, a fresh start does not.
        pollTimer_.start(kPollingDelayMs);
        if (OnReceiveData)
            Dispatch([this, n] { OnReceiveData(this, rxBuf_.data(), static_cast<std::uint32_t>(n)); });
        return;
    }
    // With O_NONBLOCK "nothing queued" is EAGAIN; end of file means hung up.
    if (n == 0 || IsGone(errno)) DeviceLost();
}

void TCommPortDriver::DeviceLost() {
    CloseDevice();
    if (connected_) pollTimer_.start(kReopenDelayMs);
}

void TCommPortDriver::TryReopen() {
    // Cheap while the device is absent: the path does not resolve.
    if (access(PortDevicePath(portName_).c_str(), F_OK) != 0) return;
    if (OpenDevice()) pollTimer_.start(kPollingDelayMs);
}

unsigned TCommPortDriver::SendData(const void* data, unsigned count) {
    using Clock = std::chrono::steady_clock;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    unsigned written = 0;
    auto lastProgress = Clock::now();
    while (fd_ >= 0 && written < count) {
        const ssize_t n = write(fd_, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<unsigned>(n);
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            if (IsGone(errno)) DeviceLost();
            break;
        }
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastProgress);
        const int left = kOutputTimeoutMs - static_cast<int>(waited.count());
        if (left <= 0) break;
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, left) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            DeviceLost();
            break;
        }
    }
    return written;
}
