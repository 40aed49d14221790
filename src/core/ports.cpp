#include "core/ports.h"

#include <cstdlib>

namespace {
// The number n of "COMn" (1..99), or 0 when the text is not such a name.
int ComNumber(const std::string& name) {
    std::string s = name;
    if (s.rfind("\\\\.\\", 0) == 0) s.erase(0, 4);
    if (s.size() < 4 || s.size() > 5 || s.compare(0, 3, "COM") != 0) return 0;
    int n = 0;
    for (std::size_t i = 3; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return 0;
        n = n * 10 + (s[i] - '0');
    }
    return n;
}
}  // namespace

std::string PortDevicePath(const std::string& portName) {
    const int n = ComNumber(portName);
    if (n <= 0) return portName;
    const std::string var = "OSTREL_COM" + std::to_string(n);
    if (const char* dev = std::getenv(var.c_str()); dev != nullptr && *dev != '\0') return dev;
    return "/dev/ttyS" + std::to_string(n - 1);
}

std::string LockFileName(const std::string& devicePath) {
    std::string name = devicePath;
    if (name.rfind("/dev/", 0) == 0) name.erase(0, 5);
    for (char& c : name)
        if (c == '/') c = '_';
    return "LCK.." + name;
}

std::string ConnectedStatusText(const std::string& portText, int baudRate, char parityLetter) {
    return "Connesso a : " + portText + " - " + std::to_string(baudRate) + " 8 " + std::string(1, parityLetter) +
           " 1";
}
