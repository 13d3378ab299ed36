#include "platform/qt/MainWindow.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/TrayIcons.h"
#include "platform/qt/TrayMenu.h"

namespace zintor {

const char* MainWindow::noTrayText() {
    return "This desktop has no system tray, so Zintor shows this window instead of a tray "
           "icon. Closing the window ends Zintor.";
}

MainWindow::MainWindow(ListenerSource listener, QMenu* phoneMenu) : listener_(std::move(listener)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Zintor"));
    setWindowIcon(trayFrameIcon(kTrayFrameStill));

    auto* top = new QHBoxLayout;
    icon_ = new QLabel;
    icon_->setObjectName(QStringLiteral("IconImage"));
    icon_->setFixedSize(32, 32);
    top->addWidget(icon_);
    portLabel_ = new QLabel;
    portLabel_->setObjectName(QStringLiteral("portLabel"));
    portLabel_->setMinimumWidth(220);
    top->addWidget(portLabel_, 1);
    setFrame(trayFrameIcon(kTrayFrameStill));

    noTray_ = new QLabel(QString::fromLatin1(noTrayText()));
    noTray_->setObjectName(QStringLiteral("noTrayLabel"));
    noTray_->setWordWrap(true);
    noTray_->setVisible(false);

    auto* commands = new QHBoxLayout;
    connect_ = new QPushButton(QStringLiteral("Connect"));
    connect_->setObjectName(QStringLiteral("connectButton"));
    QObject::connect(connect_, &QPushButton::clicked, this,
                     [this] { report([](DesktopEvents& e) { e.connectClicked(); }); });
    auto* phone = new QPushButton(QStringLiteral("Phone settings"));
    phone->setObjectName(QStringLiteral("phoneButton"));
    phone->setMenu(phoneMenu);
    auto* settings = new QPushButton(QStringLiteral("Settings"));
    settings->setObjectName(QStringLiteral("settingsButton"));
    QObject::connect(settings, &QPushButton::clicked, this,
                     [this] { report([](DesktopEvents& e) { e.settingsClicked(); }); });
    auto* exit = new QPushButton(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("exitButton"));
    QObject::connect(exit, &QPushButton::clicked, this,
                     [this] { report([](DesktopEvents& e) { e.exitClicked(); }); });
    for (QPushButton* b : {connect_, phone, settings, exit}) {
        commands->addWidget(b);
    }

    auto* debug = new QGridLayout;
    debug->addWidget(new QLabel(QStringLiteral("Key echo")), 0, 0);
    keyEcho_ = new QLineEdit;
    keyEcho_->setObjectName(QStringLiteral("keyEcho"));
    keyEcho_->installEventFilter(this);
    debug->addWidget(keyEcho_, 0, 1);
    keyLog_ = new QPlainTextEdit;
    keyLog_->setObjectName(QStringLiteral("keyLog"));
    keyLog_->setReadOnly(true);
    keyLog_->setFixedHeight(60);
    debug->addWidget(keyLog_, 1, 0, 1, 2);

    auto* portButtons = new QHBoxLayout;
    auto* enumeratePorts = new QPushButton(QStringLiteral("List ports"));
    enumeratePorts->setObjectName(QStringLiteral("enumeratePortsButton"));
    QObject::connect(enumeratePorts, &QPushButton::clicked, this,
                     [this] { report([](DesktopEvents& e) { e.enumeratePortsClicked(); }); });
    auto* refreshPorts = new QPushButton(QStringLiteral("Refresh port menu"));
    refreshPorts->setObjectName(QStringLiteral("refreshPortsButton"));
    QObject::connect(refreshPorts, &QPushButton::clicked, this,
                     [this] { report([](DesktopEvents& e) { e.refreshPortsClicked(); }); });
    // Diagnostics: what the phone's player menu would find, shown as a notice on the PC.
    auto* playerCheck = new QPushButton(QStringLiteral("Check player"));
    playerCheck->setObjectName(QStringLiteral("playerCheckButton"));
    QObject::connect(playerCheck, &QPushButton::clicked, this,
                     [this] { report([](DesktopEvents& e) { e.playerCheckClicked(); }); });
    portButtons->addWidget(enumeratePorts);
    portButtons->addWidget(refreshPorts);
    portButtons->addWidget(playerCheck);
    portButtons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(noTray_);
    layout->addLayout(commands);
    layout->addLayout(debug);
    layout->addLayout(portButtons);
}

MainWindow::~MainWindow() = default;

void MainWindow::report(const std::function<void(DesktopEvents&)>& call) {
    if (DesktopEvents* events = listener_ ? listener_() : nullptr) {
        call(*events);
    }
}

void MainWindow::setPortLabel(const std::string& text) {
    portLabel_->setText(QString::fromStdString(text));
}

void MainWindow::setConnectCaption(const std::string& caption) {
    connect_->setText(menuText(caption));
}

void MainWindow::setFrame(const QIcon& frame) {
    icon_->setPixmap(frame.pixmap(32, 32));
}

void MainWindow::setNoTrayLineShown(bool shown) {
    noTray_->setVisible(shown);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, as the tray menu's Exit does. The core runs the
    // shutdown and ends the application; the window itself stays until then.
    if (DesktopEvents* events = listener_ ? listener_() : nullptr) {
        event->ignore();
        events->exitClicked();
        return;
    }
    QWidget::closeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == keyEcho_ && event->type() == QEvent::KeyPress) {
        // Echo the character code of every typed character: "<-->" and the code.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty()) {
            keyLog_->moveCursor(QTextCursor::End);
            keyLog_->insertPlainText(QStringLiteral("<-->%1").arg(text.at(0).unicode()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zintor
