#include "QtSettingsStore.h"

#include <QStandardPaths>
#include <QStringList>

namespace zintor {
namespace {

constexpr const char* kGroup = "Settings";

QString key(const std::string& name) {
    return QString::fromLatin1(kGroup) + '/' + QString::fromStdString(name);
}

}  // namespace

QtSettingsStore::QtSettingsStore() : QtSettingsStore(defaultPath()) {}

QtSettingsStore::QtSettingsStore(const std::string& iniPath)
    : settings_(
          std::make_unique<QSettings>(QString::fromStdString(iniPath), QSettings::IniFormat)) {}

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
    failed_ = settings_->status() != QSettings::NoError;
}

}  // namespace zintor
