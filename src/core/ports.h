#pragma once
// Port texts as the window offers them ("COM1".."COM16", also with the "\\.\"
// device prefix) and the Linux devices and lock files they stand for.
#include <string>

// "COMn" or "\\.\COMn": the device in the environment variable OSTREL_COMn when
// set, else /dev/ttyS(n-1). Any other name is taken as a device path as it is.
std::string PortDevicePath(const std::string& portName);

// The UUCP-style lock file of a device: "LCK.." and the path below /dev with
// '/' as '_' ("/dev/pts/3" -> "LCK..pts_3"), the name that minicom and Qt use.
std::string LockFileName(const std::string& devicePath);

// Panel text of the status bar while connected: "Connesso a : COM1 - 19200 8 N 1".
std::string ConnectedStatusText(const std::string& portText, int baudRate, char parityLetter);
