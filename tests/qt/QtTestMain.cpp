// Runs adapter tests inside a QCoreApplication (timers, sockets, QSerialPort, QtDBus need one).
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
