#include "platform/qt/AutostartEntry.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace zintor {
namespace {

constexpr const char* kFileName = "zintor.desktop";

// An argument of an Exec line: quoted when it holds a reserved character; inside the quotes
// " ` $ \ are escaped. Then the value as a desktop entry string: \ doubled, % as %%.
QString execArgument(const QString& argument) {
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = argument;
    if (std::any_of(arg.begin(), arg.end(), [](QChar c) { return kReserved.contains(c); })) {
        QString quoted = QStringLiteral("\"");
        for (QChar c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\') {
                quoted += '\\';
            }
            quoted += c;
        }
        arg = quoted + '"';
    }
    arg.replace('\\', QStringLiteral("\\\\"));
    arg.replace('%', QStringLiteral("%%"));
    return arg;
}

}  // namespace

AutostartEntry::AutostartEntry() = default;

AutostartEntry::AutostartEntry(QString folder, QString program)
    : folder_(std::move(folder)), program_(std::move(program)) {}

QString AutostartEntry::folder() const {
    if (!folder_.isEmpty()) {
        return folder_;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

QString AutostartEntry::program() const {
    return program_.isEmpty() ? QCoreApplication::applicationFilePath() : program_;
}

QString AutostartEntry::filePath() const {
    return folder() + '/' + kFileName;
}

bool AutostartEntry::present() const {
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        if (in.readLine().trimmed().remove(' ') == QStringLiteral("Hidden=true")) {
            return false;
        }
    }
    return true;
}

QString AutostartEntry::execFor(const QString& program, const QString& foundInPath) {
    const QString self = QFileInfo(program).canonicalFilePath();
    if (!foundInPath.isEmpty() && !self.isEmpty() &&
        QFileInfo(foundInPath).canonicalFilePath() == self) {
        return QStringLiteral("zintor");
    }
    return execArgument(QFileInfo(program).absoluteFilePath());
}

std::optional<QString> AutostartEntry::set(bool on) const {
    const QString path = filePath();
    if (!on) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            return QStringLiteral(
                       "Zintor could not remove %1 (%2), so it will still start when "
                       "you log in.")
                .arg(path, file.errorString());
        }
        return std::nullopt;
    }
    const auto failed = [&path](const QString& why) {
        return QStringLiteral(
                   "Zintor could not write %1 (%2), so it will not start when you "
                   "log in.")
            .arg(path, why);
    };
    std::error_code ec;
    std::filesystem::create_directories(folder().toStdString(), ec);
    if (ec) {
        return failed(QString::fromStdString(ec.message()));
    }
    const QString exec =
        execFor(program(), QStandardPaths::findExecutable(QStringLiteral("zintor")));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        const QString text = QStringLiteral(
                                 "[Desktop Entry]\n"
                                 "Type=Application\n"
                                 "Name=Zintor\n"
                                 "Comment=Use a phone on a serial or Bluetooth line as a remote "
                                 "control for this PC\n"
                                 "Exec=%1\n"
                                 "Icon=zintor\n"
                                 "Terminal=false\n"
                                 "X-GNOME-Autostart-enabled=true\n")
                                 .arg(exec);
        file.write(text.toUtf8());
        if (file.commit()) {
            return std::nullopt;
        }
    }
    return failed(file.errorString());
}

}  // namespace zintor
