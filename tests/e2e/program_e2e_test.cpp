// The built program as a user runs it: on a virtual X server, clicked with
// xdotool, the simulator as the instrument on COM1.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "e2e_support.h"
#include "serial/link_support.h"

namespace {
std::string BuildDir() {
    const char* dir = std::getenv("OSTREL_BUILD_DIR");
    return dir != nullptr ? dir : std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/../..";
}

std::string OnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t from = 0; from <= dirs.size();) {
        const std::size_t colon = std::min(dirs.find(':', from), dirs.size());
        const std::string candidate = dirs.substr(from, colon - from) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        from = colon + 1;
    }
    return "";
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A child process; `env` entries are set (NAME=value) or removed (NAME) in it.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& output,
          int keepFd = -1) {
        pid_ = fork();
        if (pid_ != 0) return;
        for (const auto& e : env) {
            const auto eq = e.find('=');
            if (eq == std::string::npos)
                unsetenv(e.c_str());
            else
                setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
        }
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        if (keepFd >= 0) fcntl(keepFd, F_SETFD, 0);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    ~Child() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_t Pid() const { return pid_; }
    // The wait status once the child ended within `ms`, else nullopt.
    std::optional<int> WaitFor(int ms) {
        QElapsedTimer t;
        t.start();
        do {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            SleepMs(20);
        } while (t.elapsed() < ms);
        return std::nullopt;
    }
    void Terminate() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        if (!WaitFor(5000)) kill(pid_, SIGKILL);
    }

private:
    pid_t pid_ = -1;
};

// Output of a shell command, stderr dropped.
std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buf[256];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// Whether process `pid` has `device` open.
bool HoldsOpen(pid_t pid, const std::string& device) {
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
        if (std::filesystem::read_symlink(fd.path(), ec) == device) return true;
    return false;
}

// An X server of its own on the first free display.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const std::string& logPath) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) return;
        server_ = std::make_unique<Child>(std::vector<std::string>{OnPath("Xvfb"), "-displayfd", std::to_string(fds[1]),
                                                                   "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
                                          std::vector<std::string>{}, logPath, fds[1]);
        close(fds[1]);
        // The server writes the number and the line end apart and dies if the
        // pipe has gone: read up to the line end, keep the pipe open.
        display_ = fds[0];
        std::string number;
        pollfd p{display_, POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 30000) > 0 && read(display_, &c, 1) == 1 && c != '\n') number += c;
        if (c == '\n' && !number.empty()) name_ = ":" + number;
    }
    ~VirtualDisplay() {
        if (server_) server_->Terminate();
        if (display_ >= 0) close(display_);
    }
    const std::string& Name() const { return name_; }

private:
    std::unique_ptr<Child> server_;
    std::string name_;
    int display_ = -1;
};

std::string ProgramOutput(const std::string& path) { return "program output:\n" + ReadFile(path); }
}  // namespace

TEST(BuiltProgram, ConnectClickPollsTheSimulatorAndExitEndsWithStatusZeroAndFreesThePort) {
    for (const char* tool : {"Xvfb", "xdotool"})
        ASSERT_FALSE(OnPath(tool).empty()) << tool << " is not installed; scripts/bootstrap installs it";

    TempDir dir;
    const std::string link = dir / "com1";
    Simulator sim(link, {"--log", dir / "sim.log"});
    const std::string device = std::filesystem::canonical(link).string();

    VirtualDisplay display(dir / "xvfb.log");
    ASSERT_FALSE(display.Name().empty()) << "Xvfb did not start: " << ReadFile(dir / "xvfb.log");
    setenv("DISPLAY", display.Name().c_str(), 1);

    const std::string out = dir / "program.log";
    Child program({BuildDir() + "/src/ostrel-demo"}, {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display.Name(),
                                                      "OSTREL_COM1=" + link},
                  out);

    std::string window;
    std::optional<int> ended;
    QElapsedTimer clock;
    clock.start();
    while (window.empty() && clock.elapsed() < 60000 && !ended) {
        const std::string found = Shell("xdotool search --onlyvisible --name 'Ostrel'");
        window = found.substr(0, found.find('\n'));
        if (window.empty()) SleepMs(200);
        ended = program.WaitFor(0);
    }
    ASSERT_FALSE(ended.has_value()) << "the program ended at the start, wait status " << *ended << "\n"
                                    << ProgramOutput(out) << "X server output:\n" << ReadFile(dir / "xvfb.log");
    ASSERT_FALSE(window.empty()) << "no window in 60 s\n" << ProgramOutput(out);
    EXPECT_EQ(Shell("xdotool getwindowname " + window), "Brenvic  \" Ostrel \"\n");
    std::printf("[ figures  ] window shown %lld ms after the start\n", static_cast<long long>(clock.elapsed()));
    SleepMs(500);  // lets the first paint go through before the click

    Shell("xdotool mousemove --window " + window + " 336 18 click 1");
    clock.restart();
    while (!HoldsOpen(program.Pid(), device) && clock.elapsed() < 20000) SleepMs(50);
    ASSERT_TRUE(HoldsOpen(program.Pid(), device)) << "the click on \"Connetti\" did not open COM1\n"
                                                  << ProgramOutput(out);
    while (LoggedRequests(dir / "sim.log") < 2 && clock.elapsed() < 30000) SleepMs(100);
    ASSERT_GE(LoggedRequests(dir / "sim.log"), 2) << ProgramOutput(out);

    Shell("xdotool mousemove --window " + window + " 760 19 click 1");
    clock.restart();
    const std::optional<int> status = program.WaitFor(20000);
    ASSERT_TRUE(status.has_value()) << "still running 20 s after the click on \"Uscita\"\n" << ProgramOutput(out);
    std::printf("[ figures  ] program ended %lld ms after the click on \"Uscita\"\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_TRUE(WIFEXITED(*status)) << "wait status " << *status;
    EXPECT_EQ(WEXITSTATUS(*status), 0) << ProgramOutput(out);
    EXPECT_TRUE(PyCanOpenExclusive(link)) << "port still held after the end";

    bool onlyRequests = false;
    const int requests = LoggedRequests(dir / "sim.log", &onlyRequests);
    EXPECT_TRUE(onlyRequests) << ReadFile(dir / "sim.log");
    std::printf("[ figures  ] %d requests seen by the simulator\n", requests);
}
