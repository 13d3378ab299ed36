#include "platform/qt/QtSettingsStore.h"

#include <QStandardPaths>
#include <QStringList>

namespace zintor {
namespace {

constexpr const char* kGroup = "Settings";

QString key(const std::string& name) {
    return QString::fromLatin1(kGroup) + '/' + QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore(Diagnostic diagnostic)
    : QtSettingsStore(defaultPath(), std::move(diagnostic)) {}

QtSettingsStore::QtSettingsStore(const std::string& iniPath, Diagnostic diagnostic)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)),
      diagnostic_(std::move(diagnostic)) {}

std::string QtSettingsStore::defaultPath() {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.toStdString() + "/Zintor/Zintor4.ini";
}

std::string QtSettingsStore::path() const {
    return settings_->fileName().toStdString();
}

std::string QtSettingsStore::read(const std::string& name, const std::string& defaultValue) {
    const QVariant value = settings_->value(key(name));
    if (!value.isValid()) {
        return defaultValue;
    }
    // A hand-edited value with unquoted commas comes back as a list: keep its text.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(',').toStdString();
    }
    return value.toString().toStdString();
}

void QtSettingsStore::write(const std::string& name, const std::string& value) {
    settings_->setValue(key(name), QString::fromStdString(value));
}

void QtSettingsStore::flush() {
    settings_->sync();
    // A file that could not be read whole (edited by hand) is not a failed save.
    const bool failed = settings_->status() == QSettings::AccessError;
    if (failed && !failed_ && diagnostic_) {
        diagnostic_("Zintor could not save its settings to " + path() +
                    " (the folder or the file is not writable, or the disk is full)");
    }
    failed_ = failed;
}

}  // namespace zintor
