#include <gtest/gtest.h>

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

#include "ShellTestApp.h"
#include "WebPhone.h"
#include "WebPhoneMenu.h"
#include "qt/MainWindow.h"
#include "qt/QtSerialLink.h"
#include "qt/QtSettingsStore.h"
#include "qt/TrayMenu.h"
#include "sim/FakePortRegistry.h"

namespace zintor::web {
namespace {

// Runs the program with the event loop going (the page it may ask is served by this thread).
QString Output(const QString& program, const QStringList& arguments) {
    QProcess process;
    QEventLoop wait;
    QObject::connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
    process.start(program, arguments);
    wait.exec();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The HTTP status the page answers with at `address`, asked over loopback.
QString Status(const QString& address) {
    return Output("curl", {"-ks", "--connect-to", "::127.0.0.1:", "-o", "/dev/null", "-w",
                           "%{http_code}", address});
}

// What a phone that scans the window's QR code reads and gets: "<address> <HTTP status>".
QString ScanAndOpen(QWidget& window, const QString& png) {
    window.findChild<QLabel*>("imgQrCode")->pixmap().save(png);
    const QString address = Output("zbarimg", {"--raw", "-q", png});
    return address + " " + Status(address);
}

TEST(WebPhoneMenuTest, SwitchOpensTheAddressWindowWhoseCodeAndNewAddressWork) {
    test::WithApp app;
    QTemporaryDir folder;
    QtSettingsStore settings((folder.path() + "/Zintor4.ini").toStdString());
    FakePortRegistry systemPorts;
    QtSerialLink serial([](int) { return std::string(); });
    WebPhone phone(settings, systemPorts, serial, folder.path(), [](const std::string&) {});
    TrayMenu tray({});
    MainWindow main({}, tray.phoneMenu());  // shown instead of the tray where there is none
    AddWebPhoneMenu(*tray.phoneMenu(), phone);
    QMenu* buttonMenu = main.findChild<QPushButton*>("cmdPhone")->menu();
    auto* toggle = buttonMenu->findChild<QAction*>("mnuSystray_Phone_Web");
    auto* showAgain = buttonMenu->findChild<QAction*>("mnuSystray_Phone_WebAddress");
    ASSERT_TRUE(toggle && showAgain && !toggle->isChecked() && !showAgain->isEnabled());

    QTcpServer busy;  // a port taken by another program: said, and the switch stays off
    ASSERT_TRUE(busy.listen(QHostAddress::Any));
    settings.write("WebPhonePort", std::to_string(busy.serverPort()));
    QString said;
    test::WhenModalOpen("QMessageBox", [&](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    toggle->trigger();
    EXPECT_TRUE(said.startsWith("The web phone cannot start: ")) << said.toStdString();
    EXPECT_FALSE(toggle->isChecked() || phone.enabled());

    busy.close();
    toggle->trigger();
    ASSERT_TRUE(phone.enabled() && toggle->isChecked() && showAgain->isEnabled());
    EXPECT_EQ(settings.read("WebPhone", ""), "1");
    QWidget* window = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        window = shown->objectName() == "frmWebPhone" && shown->isVisible() ? shown : window;
    }
    ASSERT_TRUE(window);
    const QString token = QString::fromStdString(settings.read("WebPhoneToken", ""));
    const QString address = phone.address();
    EXPECT_GE(token.size(), 22);  // at least 128 bits in base64
    EXPECT_TRUE(address.endsWith("/?t=" + token)) << address.toStdString();
    EXPECT_EQ(window->findChild<QLabel*>("lblAddress")->text(), address);
    const QString png = folder.path() + "/qr.png";
    EXPECT_EQ(ScanAndOpen(*window, png), address + " 200");
    const QString openssl = Output("openssl", {"x509", "-noout", "-fingerprint", "-sha256", "-in",
                                               folder.path() + "/webphone-cert.pem"});
    EXPECT_TRUE(
        window->findChild<QLabel*>("lblFingerprint")->text().contains(openssl.section('=', 1)))
        << openssl.toStdString();

    window->findChild<QPushButton*>("cmdNewAddress")->click();
    EXPECT_NE(phone.address(), address);
    EXPECT_EQ(ScanAndOpen(*window, png), phone.address() + " 200");
    EXPECT_EQ(Status(address), "403");

    const QPointer<QWidget> open(window);
    toggle->trigger();
    EXPECT_FALSE(phone.enabled() || showAgain->isEnabled() || (open && open->isVisible()));
    EXPECT_EQ(settings.read("WebPhone", ""), "0");
}

}  // namespace
}  // namespace zintor::web
