#include "link_support.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/modal.h"

namespace {
const char* kPython = "/usr/bin/python3";  // Debian's, with python3-serial

pid_t Spawn(const std::vector<std::string>& argv, bool quiet) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (quiet) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
        }
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

int WaitExit(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
}  // namespace

PtyPeer::PtyPeer() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pty");
    slave_ = ptsname(master_);
}

PtyPeer::~PtyPeer() { close(master_); }

std::size_t PtyPeer::WriteSome(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void PtyPeer::WriteAll(const std::string& bytes) {
    std::size_t done = 0;
    PumpUntil([&] { return (done += WriteSome(bytes.substr(done))) == bytes.size(); }, 20000);
}

std::string PtyPeer::ReadAvailable() {
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(master_, buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(n));
    return out;
}

TempDir::TempDir() {
    char templ[] = "/tmp/ostrel-serial-XXXXXX";
    if (mkdtemp(templ) == nullptr) throw std::runtime_error("no temp dir");
    path_ = templ;
}

TempDir::~TempDir() { std::filesystem::remove_all(path_); }

std::string SimulatorBinary() {
    // ctest names the build folder; run by hand, the test sits in <build>/tests/serial.
    const char* dir = std::getenv("OSTREL_BUILD_DIR");
    const std::string build = dir != nullptr ? std::string(dir)
                                             : std::filesystem::read_symlink("/proc/self/exe").parent_path().string() +
                                                   "/../..";
    return build + "/tools/ostrel-sim/ostrel-sim";
}

Simulator::Simulator(std::string link, std::vector<std::string> options)
    : link_(std::move(link)), options_(std::move(options)) {
    Start();
}

Simulator::~Simulator() { Stop(); }

void Simulator::Start() {
    std::vector<std::string> argv{SimulatorBinary(), "--link", link_};
    argv.insert(argv.end(), options_.begin(), options_.end());
    pid_ = Spawn(argv, true);
    for (int i = 0; i < 500 && !FileExists(link_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!FileExists(link_)) throw std::runtime_error("simulator did not start: " + SimulatorBinary());
}

void Simulator::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    WaitExit(pid_);
    pid_ = -1;
}

PyHolder::PyHolder(const std::string& path) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], 1);
        close(out[0]);
        execl(kPython, kPython, "-c",
              "import serial, sys, time\n"
              "s = serial.Serial(sys.argv[1], exclusive=True)\n"
              "print('held', flush=True)\n"
              "time.sleep(600)\n",
              path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    pollfd p{out[0], POLLIN, 0};
    char buf[8] = {};
    holding_ = poll(&p, 1, 20000) > 0 && read(out[0], buf, 4) == 4 && std::string(buf, 4) == "held";
    // Kept open until the end: the rest of its line must not meet a closed pipe.
    output_ = out[0];
}

PyHolder::~PyHolder() {
    if (output_ >= 0) close(output_);
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    WaitExit(pid_);
}

bool PyCanOpenExclusive(const std::string& path) {
    const pid_t pid = Spawn({kPython, "-c",
                             "import serial, sys\n"
                             "try:\n"
                             "    serial.Serial(sys.argv[1], exclusive=True).close()\n"
                             "except serial.SerialException:\n"
                             "    sys.exit(3)\n",
                             path},
                            true);
    const int rc = WaitExit(pid);
    if (rc != 0 && rc != 3) throw std::runtime_error("pyserial not usable: exit " + std::to_string(rc));
    return rc == 0;
}

Sleeper::Sleeper() : pid_(Spawn({"/bin/sleep", "600"}, true)) {}

Sleeper::~Sleeper() {
    kill(pid_, SIGKILL);
    WaitExit(pid_);
}

pid_t DeadPid() {
    const pid_t pid = Spawn({"/bin/true"}, true);
    WaitExit(pid);
    return pid;
}

void IdleFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::string LoggedBytes(const std::string& logPath) {
    std::istringstream in(ReadFile(logPath));
    std::string out, hex;
    while (in >> hex) out.push_back(static_cast<char>(std::stoi(hex, nullptr, 16)));
    return out;
}
