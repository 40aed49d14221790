// Test main for suites that need the real widgets: one application object on
// Qt's offscreen platform (unless a display was asked for), titled as the program.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/application.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    Application->Initialize(argc, argv);
    Application->SetTitle("Ostrel demo");
    return RUN_ALL_TESTS();
}
