#include <QCoreApplication>

#include <gtest/gtest.h>

// The tests start the tool and the simulator as child processes.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
