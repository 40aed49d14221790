// ostrel-sim: plays the temperature/humidity transmitter on a pseudo-terminal.
// It puts a link to the terminal's device at --link PATH, answers every request
// "{F00RDD[" CR with a measurement frame, and removes the link when it ends.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "core/request.h"

namespace {
constexpr std::array<std::uint8_t, 9> kRequest = {0x7B, 0x46, 0x30, 0x30, 0x52, 0x44, 0x44, 0x5B, 0x0D};
constexpr int kLineRate = 1920;  // bytes per second at 19200 baud, 10 bits a byte

volatile sig_atomic_t stopRequested = 0;
void OnSignal(int) { stopRequested = 1; }

struct Options {
    std::string link;
    std::string logPath;
    unsigned seed = 1;
    bool split = false, noise = false, valueLines = false, silent = false, flood = false;
};

void Usage(std::FILE* out) {
    std::fputs(
        "usage: ostrel-sim --link PATH [options]\n"
        "Plays the transmitter on a pseudo-terminal linked at PATH (for OSTREL_COMn).\n"
        "  --link PATH     where to put the link to the terminal device (required)\n"
        "  --seed N        seed of the drifting values and the noise (default 1)\n"
        "  --split         send each answer in several writes with pauses\n"
        "  --noise         mix in control bytes, bytes above 0x7F, stray braces and\n"
        "                  carriage returns, short frames and \"---.-\" values\n"
        "  --value-lines   follow each answer with a value line \">23.5\" CR\n"
        "  --silent        read requests but never answer\n"
        "  --flood         send answers and noise at the full line rate, unasked\n"
        "  --log FILE      write what was received, in hex, one line per read\n"
        "  --help          show this text\n",
        out);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help") {
            Usage(stdout);
            std::exit(0);
        } else if (a == "--link") {
            if (!value(o.link)) return false;
        } else if (a == "--log") {
            if (!value(o.logPath)) return false;
        } else if (a == "--seed") {
            if (!value(v)) return false;
            o.seed = static_cast<unsigned>(std::strtoul(v.c_str(), nullptr, 10));
        } else if (a == "--split") {
            o.split = true;
        } else if (a == "--noise") {
            o.noise = true;
        } else if (a == "--value-lines") {
            o.valueLines = true;
        } else if (a == "--silent") {
            o.silent = true;
        } else if (a == "--flood") {
            o.flood = true;
        } else {
            std::fprintf(stderr, "ostrel-sim: unknown option %s\n", a.c_str());
            return false;
        }
    }
    return !o.link.empty();
}

void SleepMs(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR && !stopRequested) {
    }
}

// The measured values: a slow random walk pulled back toward a mean.
class Climate {
public:
    explicit Climate(std::mt19937& rng) : rng_(rng) {}
    void Step() {
        std::normal_distribution<double> d(0.0, 0.08);
        temperature_ += d(rng_) + (21.0 - temperature_) * 0.01;
        humidity_ += 2 * d(rng_) + (45.0 - humidity_) * 0.01;
        temperature_ = std::clamp(temperature_, -40.0, 60.0);
        humidity_ = std::clamp(humidity_, 0.0, 100.0);
    }
    double Temperature() const { return temperature_; }
    double Humidity() const { return humidity_; }

private:
    std::mt19937& rng_;
    double temperature_ = 21.0;
    double humidity_ = 45.0;
};

// One answer, 45 bytes: "{F00RDD" (1+1+2+3), '!', status "001", humidity at
// 12..17 ("045.60"), "%RH", "000", 'T', temperature at 29..34 ("+21.75"),
// "oC", "000", a checksum at 43 and the CR at 44; spaces in between.
std::string ResponseFrame(double humidity, double temperature, bool brokenValue) {
    char f[64];
    std::snprintf(f, sizeof f, "{F00RDD!001 %06.2f %%RH 000 T %+06.2f oC 000 ?\r", humidity, temperature);
    std::string s(f);
    if (brokenValue) s.replace(29, 6, " ---.-");
    s[43] = FrameChecksum(reinterpret_cast<const std::uint8_t*>(s.data()), 45);
    return s;
}

class Simulator {
public:
    Simulator(const Options& o, int master) : o_(o), master_(master), rng_(o.seed), climate_(rng_) {}

    // A few bytes of trouble, at random.
    std::string Noise() {
        std::uniform_int_distribution<int> kind(0, 5), byte(0, 255), ctl(0, 31);
        switch (kind(rng_)) {
        case 0: {
            const int c = ctl(rng_);
            return std::string(1, static_cast<char>(c == '\r' ? 1 : c));
        }
        case 1: return std::string(1, static_cast<char>(0x80 + byte(rng_) % 0x80));
        case 2: return "{";
        case 3: return "\r";
        case 4: return "{F00RDD!001 04\r";  // cut short
        default: return ResponseFrame(climate_.Humidity(), climate_.Temperature(), true);
        }
    }

    std::string Answer() {
        climate_.Step();
        std::string out;
        std::bernoulli_distribution sometimes(0.3);
        if (o_.noise && sometimes(rng_)) out += Noise();
        out += ResponseFrame(climate_.Humidity(), climate_.Temperature(), false);
        if (o_.noise && sometimes(rng_)) out += Noise();
        if (o_.valueLines) {
            char line[32];
            std::snprintf(line, sizeof line, ">%.1f\r", climate_.Temperature());
            out += line;
        }
        return out;
    }

    // Writes what the line takes within a short wait; the rest is dropped, as
    // a transmitter talking to nobody would lose it.
    void Send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size() && !stopRequested) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return;
            pollfd p{master_, POLLOUT, 0};
            if (poll(&p, 1, 200) <= 0) return;
        }
    }

    void Reply() {
        const std::string a = Answer();
        if (!o_.split) {
            Send(a);
            return;
        }
        for (std::size_t at = 0; at < a.size(); at += 16) {
            Send(a.substr(at, 16));
            SleepMs(30);
        }
    }

    void Received(const std::uint8_t* data, std::size_t n) {
        if (log_ != nullptr) {
            for (std::size_t i = 0; i < n; ++i) std::fprintf(log_, i ? " %02X" : "%02X", data[i]);
            std::fputc('\n', log_);
            std::fflush(log_);
        }
        for (std::size_t i = 0; i < n; ++i) {
            std::copy(window_.begin() + 1, window_.end(), window_.begin());
            window_.back() = data[i];
            if (window_ == kRequest && !o_.silent && !o_.flood) Reply();
        }
    }

    int Run() {
        if (!o_.logPath.empty() && (log_ = std::fopen(o_.logPath.c_str(), "w")) == nullptr) {
            std::perror("ostrel-sim: log");
            return 1;
        }
        std::string floodBuf;
        timespec last{};
        clock_gettime(CLOCK_MONOTONIC, &last);
        double budget = 0;
        int idleBackoff = 0;
        while (!stopRequested) {
            pollfd p{master_, POLLIN, 0};
            const int r = poll(&p, 1, o_.flood ? 10 : 100);
            if (r > 0 && (p.revents & POLLIN) != 0) {
                std::uint8_t buf[512];
                const ssize_t n = read(master_, buf, sizeof buf);
                if (n > 0) {
                    Received(buf, static_cast<std::size_t>(n));
                    idleBackoff = 0;
                }
            } else if (r > 0) {
                // Hung up with no terminal side open: wait rather than spin.
                idleBackoff = std::min(idleBackoff + 50, 500);
                SleepMs(idleBackoff);
            }
            if (o_.flood) {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                budget += ((now.tv_sec - last.tv_sec) + (now.tv_nsec - last.tv_nsec) / 1e9) * kLineRate;
                budget = std::min(budget, kLineRate / 10.0);
                last = now;
                while (floodBuf.size() < budget) floodBuf += Answer() + Noise();
                const auto n = static_cast<std::size_t>(budget);
                Send(floodBuf.substr(0, n));
                floodBuf.erase(0, n);
                budget -= static_cast<double>(n);
            }
        }
        if (log_ != nullptr) std::fclose(log_);
        return 0;
    }

private:
    const Options& o_;
    int master_;
    std::mt19937 rng_;
    Climate climate_;
    std::array<std::uint8_t, 9> window_{};
    std::FILE* log_ = nullptr;
};

// Removes the link only while it still points at our terminal: a newer
// simulator may have put its own there.
void RemoveLink(const std::string& link, const std::string& target) {
    char buf[512];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf - 1);
    if (n > 0 && std::string(buf, static_cast<std::size_t>(n)) == target) unlink(link.c_str());
}
}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage(stderr);
        return 2;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname(master) == nullptr) {
        std::perror("ostrel-sim: pseudo-terminal");
        return 1;
    }
    const std::string slavePath = ptsname(master);
    // Holding the terminal side open keeps its settings and spares the master
    // the hang-up state while no client is connected.
    const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (slave < 0 || tcgetattr(slave, &t) != 0) {
        std::perror("ostrel-sim: terminal side");
        return 1;
    }
    cfmakeraw(&t);
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    tcsetattr(slave, TCSANOW, &t);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    char old[512];
    if (readlink(o.link.c_str(), old, sizeof old) >= 0) unlink(o.link.c_str());  // a link left behind
    if (symlink(slavePath.c_str(), o.link.c_str()) != 0) {
        std::fprintf(stderr, "ostrel-sim: cannot link %s: %s\n", o.link.c_str(), std::strerror(errno));
        return 1;
    }
    std::fprintf(stderr, "ostrel-sim: %s linked at %s\n", slavePath.c_str(), o.link.c_str());

    Simulator sim(o, master);
    const int rc = sim.Run();
    RemoveLink(o.link, slavePath);
    close(slave);
    close(master);
    return rc;
}
