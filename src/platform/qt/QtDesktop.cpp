#include "platform/qt/QtDesktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtGlobal>

#include "platform/qt/KeyHelpWindow.h"
#include "platform/qt/MainWindow.h"
#include "platform/qt/NoticeWindow.h"
#include "platform/qt/ProgramFileDialog.h"
#include "platform/qt/SettingsWindow.h"
#include "platform/qt/TrayIcons.h"
#include "platform/qt/TrayMenu.h"

namespace zintor {
namespace {

constexpr int kBalloonMs = 10000;
// Qt does not tell when a tray appears: looked for often while waiting, then now and then.
constexpr int kTrayCheckMs = 250;
constexpr int kTrayLookMs = 1000;
constexpr int kScreenMargin = 16;

QRect availableArea() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

}  // namespace

QtDesktop::QtDesktop() {
    QApplication::setQuitOnLastWindowClosed(false);
    auto listener = [this] { return listener_; };
    menu_ = std::make_unique<TrayMenu>(listener);
    main_ = std::make_unique<MainWindow>(listener, menu_->phoneMenu());
}

const QIcon& QtDesktop::frameIcon(int frame) {
    if (frame < kTrayFrameStill || frame > kTrayFrameLast) {
        frame = kTrayFrameStill;
    }
    QIcon& icon = frames_[static_cast<std::size_t>(frame - kTrayFrameStill)];
    if (icon.isNull()) {
        icon = trayFrameIcon(frame);
    }
    return icon;
}

QtDesktop::~QtDesktop() {
    delete keyHelp_.data();
    delete notice_.data();
    delete tray_;
    tray_ = nullptr;
}

KeyHelpWindow* QtDesktop::keyHelpWindow() const {
    return keyHelp_;
}
NoticeWindow* QtDesktop::noticeWindow() const {
    return notice_;
}

void QtDesktop::setListener(DesktopEvents* events) {
    listener_ = events;
}

void QtDesktop::trayAdd(const std::string& tip) {
    frame_ = kTrayFrameStill;
    main_->setFrame(frameIcon(frame_));
    if (!tray_) {
        // Created even when no tray is there yet: Qt puts the icon in as soon as one appears.
        tray_ = new QSystemTrayIcon(this);
        tray_->setContextMenu(menu_->menu());  // opens on the right button; a left click does
                                               // nothing
    }
    tray_->setIcon(frameIcon(frame_));
    traySetTip(tip);
    tray_->show();

    if (!trayCheck_) {
        trayCheck_ = new QTimer(this);
        trayCheck_->setSingleShot(true);
        QObject::connect(trayCheck_, &QTimer::timeout, this, [this] { checkTray(); });
    }
    trayWaited_.start();
    checkTray();
}

void QtDesktop::checkTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        trayCheck_->stop();
        if (noTray_) {
            noTray_ = false;
            main_->setNoTrayLineShown(false);
            main_->hide();
        }
        return;
    }
    if (!noTray_ && trayWaited_.elapsed() >= trayWaitMs_) {
        noTray_ = true;
        main_->setNoTrayLineShown(true);
        main_->show();
        if (!noTrayTold_) {
            noTrayTold_ = true;
            qWarning("Zintor: %s", MainWindow::noTrayText());
        }
    }
    trayCheck_->start(noTray_ ? kTrayLookMs : kTrayCheckMs);
}

void QtDesktop::traySetTip(const std::string& tip) {
    tip_ = QString::fromStdString(tip).left(kTipMax);
    main_->setWindowTitle(tip_);
    if (tray_) {
        tray_->setToolTip(tip_);
    }
}

void QtDesktop::trayShowFrame(int frame) {
    frame_ = frame;
    main_->setFrame(frameIcon(frame));
    if (tray_) {
        tray_->setIcon(frameIcon(frame));
    }
}

void QtDesktop::trayRemove() {
    if (trayCheck_) {
        trayCheck_->stop();
    }
    if (tray_) {
        tray_->hide();
        delete tray_;
        tray_ = nullptr;
    }
}

void QtDesktop::setConnectCaption(const std::string& caption) {
    menu_->setConnectCaption(caption);
    main_->setConnectCaption(caption);
}

void QtDesktop::setAutoConnectChecked(bool checked) {
    menu_->setAutoConnectChecked(checked);
}

void QtDesktop::setPortItems(const std::vector<PortMenuItem>& items) {
    menu_->setPortItems(items);
}

void QtDesktop::setPortChecked(int index, bool checked) {
    menu_->setPortChecked(index, checked);
}

void QtDesktop::setPortLabel(const std::string& text) {
    main_->setPortLabel(text);
}

void QtDesktop::hideMainWindow() {
    // Without a tray the main window is the only way to reach the program: it stays.
    if (!noTray_) {
        main_->hide();
    }
}

void QtDesktop::mainWindowPosition(int& left, int& top) {
    const QPoint p = main_->pos();
    left = p.x();
    top = p.y();
}

SettingsForm QtDesktop::showSettings(const SettingsForm& form) {
    if (settings_) {
        // Already open further out: bring it forward; the outer call saves what it holds.
        settings_->raise();
        settings_->activateWindow();
        return form;
    }
    SettingsWindow window(form, [this](int speed) {
        if (listener_) {
            listener_->mouseSpeedChanged(speed);
        }
    });
    settings_ = &window;
    window.placeFromForm();
    window.exec();
    return window.form();
}

void QtDesktop::showKeyHelp(const std::string& caption, const std::vector<KeyHelpRow>& rows) {
    if (keyHelp_) {
        keyHelp_->raise();
        return;
    }
    keyHelp_ = new KeyHelpWindow(caption, rows);
    QObject::connect(keyHelp_, &KeyHelpWindow::closedByUser, this, [this] {
        keyHelp_ = nullptr;
        if (listener_) {
            listener_->keyHelpClosed();
        }
    });
    const QRect area = availableArea();
    keyHelp_->move(area.right() - keyHelp_->width() - kScreenMargin, area.top() + kScreenMargin);
    keyHelp_->show();
}

void QtDesktop::closeKeyHelp() {
    if (keyHelp_) {
        KeyHelpWindow* window = keyHelp_;
        keyHelp_ = nullptr;
        window->closeQuietly();
    }
}

void QtDesktop::showNotice(const std::string& text) {
    if (notice_) {
        notice_->setText(text);
        return;
    }
    notice_ = new NoticeWindow(text);
    QObject::connect(notice_, &NoticeWindow::closedByItself, this, [this] {
        notice_ = nullptr;
        if (listener_) {
            listener_->noticeClosed();
        }
    });
    notice_->adjustSize();
    notice_->move(availableArea().center() - notice_->rect().center());
    notice_->show();
}

void QtDesktop::setNoticeText(const std::string& text) {
    if (notice_) {
        notice_->setText(text);
    }
}

void QtDesktop::closeNotice() {
    if (notice_) {
        NoticeWindow* window = notice_;
        notice_ = nullptr;
        window->closeQuietly();
    }
}

// Shown and left to the user: the program goes on serving the phone while the box is open.
void QtDesktop::messageBox(const std::string& title, const std::string& text, bool critical) {
    auto* box = new QMessageBox(critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                                QString::fromStdString(title), QString::fromStdString(text),
                                QMessageBox::Ok);
    box->setObjectName(QStringLiteral("ZintorMessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void QtDesktop::notify(const std::string& title, const std::string& text) {
    const QString t = QString::fromStdString(title);
    const QString m = QString::fromStdString(text);
    if (tray_ && !noTray_ && QSystemTrayIcon::isSystemTrayAvailable() &&
        QSystemTrayIcon::supportsMessages()) {
        tray_->showMessage(t, m, QSystemTrayIcon::Information, kBalloonMs);
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Information, t, m, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("ZintorNotice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

std::optional<std::string> QtDesktop::chooseFile(const std::string& title,
                                                 const std::string& extension) {
    auto chosen = chooseProgramFile(settings_, QString::fromStdString(title),
                                    QString::fromStdString(extension));
    if (!chosen) {
        return std::nullopt;
    }
    return chosen->toStdString();
}

}  // namespace zintor
