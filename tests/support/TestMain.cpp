#include <QCoreApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Every test program gets a Qt application object: the SQL drivers and timers need one.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
