#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The driver's polling timer and the download window need an event loop;
// CTest runs the window without a display (offscreen platform).
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the program outside CTest's environment.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
