#include "MprisName.h"

namespace zintor {

namespace {
const QString kPrefix = QStringLiteral("org.mpris.MediaPlayer2.");

QString LastElement(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return QString::fromStdString(slash == std::string::npos ? path : path.substr(slash + 1))
        .toLower();
}
}  // namespace

QString PlayerProgramName(const std::string& path) {
    const QString element = LastElement(path);
    const auto dot = element.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? element.left(dot) : element;
}

QString ChooseMprisName(const QStringList& busNames, const std::string& playerPath,
                        const std::function<QStringList(const QString&)>& identities) {
    QStringList players;
    for (const QString& name : busNames) {
        if (name.startsWith(kPrefix)) {
            players.append(name);
        }
    }
    players.sort();
    QStringList programs{PlayerProgramName(playerPath)};
    if (LastElement(playerPath) != programs.first()) {
        programs.append(LastElement(playerPath));
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
