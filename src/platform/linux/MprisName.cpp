#include "platform/linux/MprisName.h"

namespace zintor {

namespace {
const QString kPrefix = QStringLiteral("org.mpris.MediaPlayer2.");

QString lastElement(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return QString::fromStdString(slash == std::string::npos ? path : path.substr(slash + 1))
        .toLower();
}
}  // namespace

QString playerProgramName(const std::string& path) {
    const QString element = lastElement(path);
    const auto dot = element.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? element.left(dot) : element;
}

QString chooseMprisName(const QStringList& busNames, const std::string& playerPath,
                        const std::function<QStringList(const QString&)>& identities) {
    QStringList players;
    for (const QString& name : busNames) {
        if (name.startsWith(kPrefix)) {
            players.append(name);
        }
    }
    players.sort();
    QStringList programs{playerProgramName(playerPath)};
    if (lastElement(playerPath) != programs.first()) {
        programs.append(lastElement(playerPath));
    }
    for (const QString& program : programs) {
        if (program.isEmpty()) {
            continue;
        }
        for (const QString& name : players) {
            if (name.mid(kPrefix.size()).compare(program, Qt::CaseInsensitive) == 0) {
                return name;
            }
        }
        for (const QString& name : players) {
            if (name.mid(kPrefix.size()).toLower().startsWith(program + QLatin1Char('.'))) {
                return name;
            }
        }
        for (const QString& name : players) {
            for (const QString& identity : identities(name)) {
                if (identity.toLower() == program) {
                    return name;
                }
            }
        }
    }
    return {};
}

}  // namespace zintor
