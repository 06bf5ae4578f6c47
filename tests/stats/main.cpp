#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Composing and painting the printed page need font metrics, and so an
// application object; the tool's own start of one then stands aside.
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
