#include "platform/qt/SettingsWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "platform/qt/ProgramFileDialog.h"
#include "platform/qt/TrayIcons.h"

namespace zintor {
namespace {

QString speedText(int ms) {
    return QStringLiteral("%1 ms per step").arg(ms);
}

// A text box that keeps whatever it is given, however long (a line edit cuts at 32767 otherwise).
QLineEdit* textBox(const std::string& text, const QString& name) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setText(QString::fromStdString(text));
    box->setCursorPosition(0);
    return box;
}

}  // namespace

SettingsWindow::SettingsWindow(const SettingsForm& form, std::function<void(int)> speedChanged,
                               QWidget* parent)
    : QDialog(parent), initial_(form), speedChanged_(std::move(speedChanged)) {
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("Zintor - Settings"));
    setWindowIcon(trayFrameIcon(kTrayFrameStill));

    // Application slots.
    auto* apps = new QGroupBox(QStringLiteral("Application"));
    auto* grid = new QGridLayout(apps);
    grid->addWidget(new QLabel(QStringLiteral("Name")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("File")), 0, 1);
    for (int i = 0; i < 9; ++i) {
        nameBoxes_[i] = textBox(form.appName[i], QStringLiteral("nameBox%1").arg(i));
        pathBoxes_[i] = textBox(form.appPath[i], QStringLiteral("pathBox%1").arg(i));
        pathBoxes_[i]->setMinimumWidth(280);
        selectButtons_[i] = new QPushButton(QStringLiteral("Select..."));
        grid->addWidget(nameBoxes_[i], i + 1, 0);
        grid->addWidget(pathBoxes_[i], i + 1, 1);
        grid->addWidget(selectButtons_[i], i + 1, 2);
    }
    grid->setColumnStretch(1, 1);

    // Media player: the program the phone's player menu drives (Audacious, or any MPRIS player).
    auto* player = new QGroupBox(QStringLiteral("Media player"));
    auto* playerRow = new QHBoxLayout(player);
    auto* playerLabel = new QLabel(QStringLiteral("Program"));
    playerLabel->setObjectName(QStringLiteral("playerLabel"));
    playerRow->addWidget(playerLabel);
    pathBoxes_[9] = textBox(form.appPath[9], QStringLiteral("pathBox9"));
    pathBoxes_[9]->setPlaceholderText(QStringLiteral("/usr/bin/audacious"));
    playerLabel->setBuddy(pathBoxes_[9]);
    playerRow->addWidget(pathBoxes_[9], 1);
    selectButtons_[9] = new QPushButton(QStringLiteral("Select..."));
    playerRow->addWidget(selectButtons_[9]);

    for (int i = 0; i < 10; ++i) {
        selectButtons_[i]->setObjectName(QStringLiteral("selectButton%1").arg(i));
        selectButtons_[i]->setAutoDefault(false);
        QObject::connect(selectButtons_[i], &QPushButton::clicked, this,
                         [this, i] { selectFile(i); });
    }

    // Connection.
    auto* connection = new QGroupBox(QStringLiteral("Connection"));
    auto* connectionRow = new QVBoxLayout(connection);
    autoConnectBox_ = new QCheckBox(QStringLiteral("Auto connect"));
    autoConnectBox_->setObjectName(QStringLiteral("autoConnectBox"));
    autoConnectBox_->setChecked(form.autoConnect);
    connectionRow->addWidget(autoConnectBox_);
    startAtLoginBox_ = new QCheckBox(QStringLiteral("Start Zintor when I log in"));
    startAtLoginBox_->setObjectName(QStringLiteral("startAtLoginBox"));
    startAtLoginBox_->setChecked(autostart_.present());
    QObject::connect(startAtLoginBox_, &QCheckBox::clicked, this,
                     [this](bool on) { startAtLoginClicked(on); });
    connectionRow->addWidget(startAtLoginBox_);

    // Mouse speed: the pause after each cursor step; it acts at once.
    auto* speed = new QGroupBox(QStringLiteral("Mouse Speed"));
    auto* speedRow = new QHBoxLayout(speed);
    slider_ = new QSlider(Qt::Horizontal);
    slider_->setObjectName(QStringLiteral("MouseSpeedSlider"));
    slider_->setRange(kSpeedMin, kSpeedMax);
    slider_->setTickPosition(QSlider::TicksBelow);
    slider_->setTickInterval(5);
    slider_->setPageStep(5);
    slider_->setValue(std::clamp(form.mouseSpeed, kSpeedMin, kSpeedMax));
    speedText_ = new QLabel(speedText(slider_->value()));
    speedText_->setMinimumWidth(speedText_->fontMetrics().horizontalAdvance(speedText(88)));
    speedRow->addWidget(slider_, 1);
    speedRow->addWidget(speedText_);
    QObject::connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        speedText_->setText(speedText(value));
        if (speedChanged_) {
            speedChanged_(value);
        }
    });

    // Version.
    auto* versionBox = new QGroupBox(QStringLiteral("Version"));
    auto* versionRow = new QHBoxLayout(versionBox);
    version_ = new QLabel(QString::fromStdString(form.version));
    version_->setObjectName(QStringLiteral("versionLabel"));
    versionRow->addWidget(version_);

    closeButton_ = new QPushButton(QStringLiteral("Close"));
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setDefault(true);
    QObject::connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);

    auto* lower = new QHBoxLayout;
    lower->addWidget(connection);
    lower->addWidget(speed, 1);
    lower->addWidget(versionBox);

    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(apps);
    layout->addWidget(player);
    layout->addLayout(lower);
    layout->addLayout(closeRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::placeFromForm() {
    QPoint wanted(initial_.left, initial_.top);
    const QRect area(wanted, sizeHint());
    bool visible = false;
    for (QScreen* screen : QGuiApplication::screens()) {
        visible = visible || screen->geometry().intersects(area);
    }
    if (!visible) {
        QScreen* screen = QGuiApplication::primaryScreen();
        wanted = screen ? screen->availableGeometry().topLeft() : QPoint(0, 0);
    }
    move(wanted);
}

SettingsForm SettingsWindow::form() const {
    SettingsForm out = initial_;
    for (int i = 0; i < 9; ++i) {
        out.appName[i] = nameBoxes_[i]->text().toStdString();
    }
    for (int i = 0; i < 10; ++i) {
        out.appPath[i] = pathBoxes_[i]->text().toStdString();
    }
    out.autoConnect = autoConnectBox_->isChecked();
    out.mouseSpeed = slider_->value();
    out.left = pos().x();
    out.top = pos().y();
    return out;
}

void SettingsWindow::startAtLoginClicked(bool on) {
    const std::optional<QString> failure = autostart_.set(on);
    startAtLoginBox_->setChecked(autostart_.present());
    if (failure) {
        QMessageBox::warning(this, windowTitle(), *failure);
    }
}

void SettingsWindow::selectFile(int i) {
    if (auto chosen =
            chooseProgramFile(this, QStringLiteral("Select File"), QStringLiteral("exe"))) {
        pathBoxes_[i]->setText(*chosen);
    }
}

}  // namespace zintor
