#pragma once

#include <QDialog>
#include <functional>

#include "core/ports/Desktop.h"
#include "platform/qt/AutostartEntry.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace zintor {

// The settings window, "Zintor - Settings": the nine application slots, the media player, Auto
// connect, the mouse speed and the version. There is no Cancel: however the window is closed,
// form() holds what it shows then. The slider reports each change at once through `speedChanged`.
// "Start Zintor when I log in" shows whether the autostart entry is there and writes or removes
// it at each click; a failure is told in a message box and the box keeps showing the truth.
class SettingsWindow : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSpeedMin = 0;  // ms pause per cursor step
    static constexpr int kSpeedMax = 50;

    SettingsWindow(const SettingsForm& form, std::function<void(int)> speedChanged,
                   QWidget* parent = nullptr);
    ~SettingsWindow() override;

    // Puts the window where the form says, or at the top-left of the screen when that
    // place lies outside every screen.
    void placeFromForm();

    // What the window holds now, with its current position.
    SettingsForm form() const;

    QLineEdit* nameBox(int i) { return nameBoxes_[i]; }
    QLineEdit* pathBox(int i) { return pathBoxes_[i]; }
    QPushButton* selectButton(int i) { return selectButtons_[i]; }
    QCheckBox* autoConnectBox() { return autoConnectBox_; }
    QCheckBox* startAtLoginBox() { return startAtLoginBox_; }
    QSlider* speedSlider() { return slider_; }
    QLabel* versionLabel() { return version_; }
    QPushButton* closeButton() { return closeButton_; }

  private:
    void selectFile(int i);
    void startAtLoginClicked(bool on);

    SettingsForm initial_;
    std::function<void(int)> speedChanged_;
    QLineEdit* nameBoxes_[9] = {};
    QLineEdit* pathBoxes_[10] = {};
    QPushButton* selectButtons_[10] = {};
    QCheckBox* autoConnectBox_ = nullptr;
    QCheckBox* startAtLoginBox_ = nullptr;
    AutostartEntry autostart_;
    QSlider* slider_ = nullptr;
    QLabel* speedText_ = nullptr;
    QLabel* version_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace zintor
