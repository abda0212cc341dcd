#include <QGuiApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// A GUI application, as webconsole-auto has one: the quote letter needs fonts.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
