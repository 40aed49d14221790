#pragma once
// Peers for serial tests: an in-process pseudo-terminal whose far side the test
// drives byte by byte, the transmitter simulator as a child process, and a
// second program (pyserial) that holds or tries a port.
#include <sys/types.h>

#include <string>
#include <vector>

// A pseudo-terminal; the test keeps the master, the code under test opens Path().
class PtyPeer {
public:
    PtyPeer();
    ~PtyPeer();
    const std::string& Path() const { return slave_; }
    int Master() const { return master_; }
    // Writes what the terminal takes now (non-blocking); returns the count.
    std::size_t WriteSome(const std::string& bytes);
    void WriteAll(const std::string& bytes);
    // Everything the code under test has written so far.
    std::string ReadAvailable();

private:
    int master_ = -1;
    std::string slave_;
};

// A private folder for links, logs and the like, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// ostrel-sim running with a link at `link`.
class Simulator {
public:
    Simulator(std::string link, std::vector<std::string> options = {});
    ~Simulator();
    void Start();
    // SIGTERM and wait: the simulator removes its link and closes the terminal.
    void Stop();
    pid_t Pid() const { return pid_; }

private:
    std::string link_;
    std::vector<std::string> options_;
    pid_t pid_ = -1;
};

std::string SimulatorBinary();

// A pyserial program holding `path` with exclusive=True until destroyed.
class PyHolder {
public:
    explicit PyHolder(const std::string& path);
    ~PyHolder();
    bool Holding() const { return holding_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    bool holding_ = false;
};

// Whether pyserial can open `path` with exclusive=True right now.
bool PyCanOpenExclusive(const std::string& path);

// A live process to name in lock files, ended with the object.
class Sleeper {
public:
    Sleeper();
    ~Sleeper();
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_;
};
pid_t DeadPid();

// Lets the event loop sleep for `ms` (no spinning), so that CPU use can be measured.
void IdleFor(int ms);
double ProcessCpuSeconds();
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// The frames in a simulator --log (hex, one line per read) joined into bytes.
std::string LoggedBytes(const std::string& logPath);
