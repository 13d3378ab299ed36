// The web phone: its model of a phone, its tray switch and address window, its server.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>

#include "ShellTestApp.h"
#include "platform/qt/QtSerialLink.h"
#include "platform/qt/QtSettingsStore.h"
#include "platform/qt/TrayMenu.h"
#include "platform/sim/FakePortRegistry.h"
#include "platform/web/PhoneModel.h"
#include "platform/web/WebPhone.h"
#include "platform/web/WebPhoneMenu.h"
#include "platform/web/WebPhoneServer.h"

namespace zintor::web {
namespace {

constexpr const char* kOk = "\r\nOK\r\n";
constexpr const char* kError = "\r\nERROR\r\n";

TEST(PhoneModelTest, AnswersAsAPhoneRefusesMalformedCommandsAndReportsOnlyKeysOfTheTable) {
    PhoneModel phone;
    EXPECT_EQ(phone.answer("AT+XYZ=1"), kError);
    ASSERT_EQ(phone.answer(R"(AT*EASM="M",1,1,2,"a","b")"), kOk);
    // Count or highlight not matching the items, an open quote, a bare item: refused, and what
    // the phone shows stays as it was.
    for (const char* bad :
         {R"(AT*EASM="X",1,1,3,"a","b")", R"(AT*EASM="X",1,3,2,"a","b")", R"(AT*EASM="X,1,1,1,"a")",
          R"(AT*EASM="X",1,1,1,a)", R"(AT*EAID=1,2,"t")", R"(AT*EAID=99,2,"t")", "AT*EAM"}) {
        EXPECT_EQ(phone.answer(bad), kError) << bad;
    }
    EXPECT_EQ(phone.screen().menu->title, "M");

    // Keys only while reporting is on (presses and releases reach the program in the browser test).
    EXPECT_FALSE(phone.key("5", true));
    phone.answer("AT+CMER=3,2,0,0,0");
    EXPECT_EQ(phone.key(":C", false), "+CKEV: :C,0");
    EXPECT_FALSE(phone.key("x", true) || phone.key("5,1\r\nATD1", true));
    phone.answer("AT+CMER=0,0,0,0,0");
    EXPECT_FALSE(phone.key("5", false));
}

TEST(PhoneModelTest, MenusDialogsAndTheEntryGiveTheLinesOfTheUsersChoices) {
    PhoneModel phone;
    EXPECT_FALSE(phone.openEntry());  // nothing registered yet
    phone.answer(R"(AT*EAM="Zintor")");
    EXPECT_EQ(phone.openEntry(), "*EAAI");
    phone.answer("AT*EASM=\"Caf\xe9\",1,2,3,\"Move Mouse\",\"About\",\"x\"");
    EXPECT_EQ(phone.screen().menu->title, "Caf\xc3\xa9");  // ISO 8859-1 in, UTF-8 on the screen
    EXPECT_EQ(phone.screen().menu->highlighted, 2);
    EXPECT_FALSE(phone.chooseItem(0) || phone.chooseItem(4));
    EXPECT_EQ(phone.chooseItem(3), "*EAMI: 3");
    EXPECT_FALSE(phone.screen().menu || phone.leaveMenu());
    phone.answer(R"(AT*EASM="M",1,1,1,"a")");
    EXPECT_EQ(phone.endSession(), "*EAMI");

    // Dialogs keep their kind, time out and answer.
    phone.answer(R"(AT*EAID=1,2,"No programs",30)");
    EXPECT_EQ(phone.screen().dialog.timeoutMs, 3000);
    EXPECT_FALSE(phone.enterText("x"));  // a pop-up takes no text
    EXPECT_EQ(phone.answerDialog(), "*EAII: 1,1");
    phone.answer(R"(AT*EAID=11,2,"Enter","->",5)");
    EXPECT_FALSE(phone.enterText("toolong"));
    EXPECT_EQ(phone.enterText("\xc3\xa9\xe2\x82\xac\n\"a"), "*EAII: 11,\xc3\xa9\xe2\x82\xac \"a");
    phone.answer(R"(AT*EAID=14,2,"WinAMP","1. Song")");
    phone.answer(R"(AT+CKPD="c")");  // the clear key closes it
    EXPECT_FALSE(phone.closeDialog());
}

// Runs the program with the event loop going (the page it may ask is served by this thread).
QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    QEventLoop wait;
    QObject::connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
    process.start(program, arguments);
    wait.exec();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

TEST(WebPhoneMenuTest, SwitchOpensTheAddressWindowWhoseCodeAndNewAddressWork) {
    test::WithApp app;
    QTemporaryDir folder;
    QtSettingsStore settings((folder.path() + "/Zintor4.ini").toStdString());
    FakePortRegistry systemPorts;
    QtSerialLink serial([](int) { return std::string(); });
    WebPhone phone(settings, systemPorts, serial, folder.path(), [](const std::string&) {});
    TrayMenu tray({});
    addWebPhoneMenu(*tray.phoneMenu(), phone);  // also the main window's "Phone settings" menu
    auto* toggle = tray.phoneMenu()->findChild<QAction*>("mnuSystray_Phone_Web");
    auto* showAgain = tray.phoneMenu()->findChild<QAction*>("mnuSystray_Phone_WebAddress");
    ASSERT_TRUE(toggle && showAgain && !toggle->isChecked() && !showAgain->isEnabled());

    settings.write("WebPhonePort", "0");  // any free port
    // A token an older Zintor kept in the settings file (readable by all) moves to a file of
    // the user's own; so does the certificate's key.
    const std::string oldToken = "0123456789abcdefghijklmn";
    settings.write("WebPhoneToken", oldToken);
    toggle->trigger();
    ASSERT_TRUE(phone.enabled() && toggle->isChecked() && showAgain->isEnabled());
    EXPECT_EQ(settings.read("WebPhone", ""), "1");
    EXPECT_EQ(settings.read("WebPhoneToken", "gone"), "");
    const QString tokenFile = folder.path() + "/webphone-token";
    for (const QString& secret : {tokenFile, folder.path() + "/webphone-key.pem"}) {
        const auto mode = QFile::permissions(secret);
        EXPECT_TRUE(mode.testFlag(QFileDevice::ReadOwner) && (mode & 0x0077) == 0);  // group, other
    }
    auto savedToken = [&] {
        QFile file(tokenFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toStdString() : "";
    };
    EXPECT_EQ(savedToken(), oldToken);
    QWidget* window = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        window = shown->objectName() == "webPhoneWindow" && shown->isVisible() ? shown : window;
    }
    ASSERT_TRUE(window);
    const QString address = phone.address();
    EXPECT_TRUE(address.endsWith("/?t=" + QString::fromStdString(oldToken)));
    EXPECT_EQ(window->findChild<QLabel*>("addressLabel")->text(), address);
    EXPECT_TRUE(
        window->findChild<QLabel*>("fingerprintLabel")->text().contains(phone.fingerprint()));

    // The QR code as a phone reads it, with the new address (that the server refuses a stale
    // token: the server test).
    window->findChild<QPushButton*>("newAddressButton")->click();
    const QString png = folder.path() + "/qr.png";
    window->findChild<QLabel*>("qrCode")->pixmap().save(png);
    EXPECT_EQ(output("zbarimg", {"--raw", "-q", png}), phone.address());
    EXPECT_TRUE(phone.address().endsWith(QString::fromStdString(savedToken())));
    EXPECT_NE(phone.address(), address);

    const QPointer<QWidget> open(window);
    toggle->trigger();
    EXPECT_FALSE(phone.enabled() || showAgain->isEnabled() || (open && open->isVisible()));
    EXPECT_EQ(settings.read("WebPhone", ""), "0");

    // Another program holds the port: the user is told, and the switch stays off.
    QTcpServer other;
    ASSERT_TRUE(other.listen(QHostAddress::Any));
    settings.write("WebPhonePort", std::to_string(other.serverPort()));
    QString told;
    test::whenModalOpen("QMessageBox", [&told](QWidget* box) {
        told = box->findChild<QLabel*>("qt_msgbox_label")->text();
        box->close();
    });
    toggle->trigger();
    EXPECT_TRUE(told.startsWith("The web phone cannot start: ")) << told.toStdString();
    EXPECT_FALSE(phone.enabled() || toggle->isChecked() || showAgain->isEnabled());
}

TEST(WebCertificateTest, NamesEveryHostServesOnlyAsAServerAndIsRenewedBeforeItRunsOut) {
    test::WithApp app;
    QTemporaryDir folder;
    const QStringList hosts{"127.0.0.1", "::1", "192.168.4.7", "pc.local"};
    const WebCertificate made = WebCertificate::loadOrCreate(folder.path(), hosts);
    ASSERT_TRUE(made.ok() && made.renewed);
    const QString text =
        output("openssl", {"x509", "-noout", "-text", "-in", folder.path() + "/webphone-cert.pem"});
    for (const char* part :
         {"IP Address:127.0.0.1, IP Address:0:0:0:0:0:0:0:1, IP Address:192.168.4.7, DNS:pc.local",
          "TLS Web Server Authentication", "CA:FALSE", "Digital Signature"}) {
        EXPECT_TRUE(text.contains(part)) << part;
    }
    const QDateTime from = made.certificate.effectiveDate(), to = made.certificate.expiryDate();
    EXPECT_TRUE(from.daysTo(to) <= 398 && to > QDateTime::currentDateTimeUtc().addDays(390));

    // Kept while good; made anew when a host is missing or when it runs out within a month.
    EXPECT_FALSE(WebCertificate::loadOrCreate(folder.path(), hosts).renewed);
    const WebCertificate moved =
        WebCertificate::loadOrCreate(folder.path(), {"127.0.0.1", "192.168.4.8"});
    EXPECT_TRUE(moved.renewed && moved.fingerprint() != made.fingerprint());
    output("openssl", {"req", "-x509", "-new", "-key", folder.path() + "/webphone-key.pem", "-subj",
                       "/CN=old", "-days", "20", "-addext", "subjectAltName=IP:127.0.0.1", "-out",
                       folder.path() + "/webphone-cert.pem"});
    const WebCertificate old = WebCertificate::loadOrCreate(folder.path(), {"127.0.0.1"});
    EXPECT_TRUE(old.renewed && old.certificate.expiryDate() > to.addDays(-2));
}

TEST(WebPhoneServerTest, OnlyPeersOnTheLocalNetworkAreServed) {
    for (const char* local :
         {"127.0.0.1", "10.1.2.3", "172.16.0.1", "172.31.255.255", "192.168.1.20", "169.254.3.4",
          "::1", "fe80::1", "fd12::3", "::ffff:192.168.0.7"}) {
        EXPECT_TRUE(WebPhoneServer::isLocalNetwork(QHostAddress(local))) << local;
    }
    for (const char* foreign : {"8.8.8.8", "172.32.0.1", "172.15.255.255", "192.169.0.1",
                                "11.0.0.1", "2001:db8::1", "::ffff:8.8.4.4"}) {
        EXPECT_FALSE(WebPhoneServer::isLocalNetwork(QHostAddress(foreign))) << foreign;
    }
}

}  // namespace
}  // namespace zintor::web
