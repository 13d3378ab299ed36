#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

namespace zintor {

// The name a player program goes by: the last element of its path, lower-cased, without its
// extension ("/usr/bin/vlc" and "C:\Program Files\VLC\VLC.exe" both give "vlc").
QString playerProgramName(const std::string& path);

// Which MPRIS player on the bus is the configured program `playerPath`. Among the bus names that
// begin with "org.mpris.MediaPlayer2.", the first that matches, in this order:
// 1. "org.mpris.MediaPlayer2.<program name>" (any case);
// 2. "org.mpris.MediaPlayer2.<program name>.<anything>" (a second instance, "vlc.instance4711");
// 3. a player whose DesktopEntry or Identity, lower-cased, is the program name (asked through
//    `identities`, which gives both texts of one bus name).
// The program name is tried without its extension first, then with it. Empty when none matches.
QString chooseMprisName(const QStringList& busNames, const std::string& playerPath,
                        const std::function<QStringList(const QString&)>& identities);

}  // namespace zintor
