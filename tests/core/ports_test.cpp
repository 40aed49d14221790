#include <gtest/gtest.h>

#include <cstdlib>

#include "core/ports.h"

TEST(PortDevicePath, ComNamesMapToTheEnvironmentOrTheMatchingTtyS) {
    setenv("OSTREL_COM12", "/dev/ttyUSB7", 1);
    unsetenv("OSTREL_COM3");
    setenv("OSTREL_COM4", "", 1);  // empty counts as unset
    struct Case {
        const char* name;
        const char* device;
    };
    const Case cases[] = {
        {"COM12", "/dev/ttyUSB7"},       {"\\\\.\\COM12", "/dev/ttyUSB7"},
        {"COM3", "/dev/ttyS2"},          {"\\\\.\\COM3", "/dev/ttyS2"},
        {"COM4", "/dev/ttyS3"},          {"COM1", "/dev/ttyS0"},
        {"/tmp/some-link", "/tmp/some-link"},  // a path is taken as it is
        {"COM", "COM"},                  {"COMx", "COMx"},
        {"COM0", "COM0"},                {"\\\\.\\COM", "\\\\.\\COM"},
    };
    for (const Case& c : cases) EXPECT_EQ(PortDevicePath(c.name), c.device) << c.name;
    unsetenv("OSTREL_COM12");
    unsetenv("OSTREL_COM4");
}

TEST(LockFileName, NamesTheDeviceBelowDevWithSlashesAsUnderscores) {
    EXPECT_EQ(LockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    EXPECT_EQ(LockFileName("/dev/pts/12"), "LCK..pts_12");
    EXPECT_EQ(LockFileName("/tmp/x/y"), "LCK.._tmp_x_y");
}

TEST(ConnectedStatusText, FillsPortBaudAndParity) {
    EXPECT_EQ(ConnectedStatusText("COM1", 19200, 'N'), "Connesso a : COM1 - 19200 8 N 1");
    EXPECT_EQ(ConnectedStatusText("COM16", 9600, 'O'), "Connesso a : COM16 - 9600 8 O 1");
}
