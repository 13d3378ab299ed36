#include "platform/qt/TrayMenu.h"

#include <QAction>

namespace zintor {

QString menuText(const std::string& caption) {
    QString text = QString::fromStdString(caption);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

TrayMenu::TrayMenu(ListenerSource listener)
    : listener_(std::move(listener)), menu_(std::make_unique<QMenu>()) {
    menu_->setObjectName(QStringLiteral("trayMenu"));
    menu_->setTitle(QStringLiteral("&Systray"));

    connect_ = menu_->addAction(QStringLiteral("Connect"));
    connect_->setObjectName(QStringLiteral("mnuSystray_Connect"));
    QObject::connect(connect_, &QAction::triggered, this,
                     [this] { report([](DesktopEvents& e) { e.connectClicked(); }); });

    phone_ = menu_->addMenu(QStringLiteral("Phone settings"));
    phone_->setObjectName(QStringLiteral("mnuSystray_Phone"));
    noPort_ = phone_->addAction(QString::fromLatin1(kNoPortText));
    noPort_->setObjectName(QStringLiteral("mnuSystray_Phone_NoPort"));
    noPort_->setEnabled(false);
    autoConnect_ = phone_->addAction(QStringLiteral("AutoConnect"));
    autoConnect_->setObjectName(QStringLiteral("mnuSystray_Phone_Auto"));
    autoConnect_->setCheckable(true);
    QObject::connect(autoConnect_, &QAction::triggered, this, [this](bool checked) {
        autoConnect_->setChecked(!checked);  // the core decides the check mark
        report([](DesktopEvents& e) { e.autoConnectClicked(); });
    });

    settings_ = menu_->addAction(QStringLiteral("Program settings"));
    settings_->setObjectName(QStringLiteral("mnuSystray_Settings"));
    QObject::connect(settings_, &QAction::triggered, this,
                     [this] { report([](DesktopEvents& e) { e.settingsClicked(); }); });

    exit_ = menu_->addAction(QStringLiteral("Exit"));
    exit_->setObjectName(QStringLiteral("mnuSystray_Exit"));
    QObject::connect(exit_, &QAction::triggered, this,
                     [this] { report([](DesktopEvents& e) { e.exitClicked(); }); });
}

TrayMenu::~TrayMenu() = default;

void TrayMenu::report(const std::function<void(DesktopEvents&)>& call) {
    if (DesktopEvents* events = listener_ ? listener_() : nullptr) {
        call(*events);
    }
}

void TrayMenu::setConnectCaption(const std::string& caption) {
    connect_->setText(menuText(caption));
}

void TrayMenu::setAutoConnectChecked(bool checked) {
    autoConnect_->setChecked(checked);
}

void TrayMenu::setPortItems(const std::vector<PortMenuItem>& items) {
    for (QAction* action : ports_) {
        phone_->removeAction(action);
        action->deleteLater();
    }
    ports_.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto* action = new QAction(menuText(items[i].caption), phone_);
        action->setObjectName(QStringLiteral("mnuSystray_Phone_COM%1").arg(i));
        action->setCheckable(true);
        action->setChecked(items[i].checked);
        const int index = static_cast<int>(i);
        QObject::connect(action, &QAction::triggered, this, [this, action, index](bool checked) {
            action->setChecked(!checked);  // the core decides the check mark
            report([index](DesktopEvents& e) { e.portChosen(index); });
        });
        phone_->insertAction(noPort_, action);
        ports_.append(action);
    }
    noPort_->setVisible(ports_.isEmpty());
}

void TrayMenu::setPortChecked(int index, bool checked) {
    if (index >= 0 && index < ports_.size()) {
        ports_[index]->setChecked(checked);
    }
}

}  // namespace zintor
