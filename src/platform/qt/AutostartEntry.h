#pragma once

#include <QString>
#include <optional>

namespace zintor {

// "Start Zintor when I log in": the XDG autostart entry zintor.desktop in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart), which desktop sessions start at login.
// The file is the truth; nothing else records the choice.
class AutostartEntry {
  public:
    // The entry of the current user (the folder is looked up at each call).
    AutostartEntry();
    // An entry in another folder, for a given program (tests).
    AutostartEntry(QString folder, QString program);

    QString filePath() const;

    // The file is there and not hidden (Hidden=true is how some sessions switch an entry off).
    bool present() const;

    // Writes or removes the file; on failure, a message for the user.
    std::optional<QString> set(bool on) const;

    // The Exec value that starts `program`: plain "zintor" when that name, looked up in PATH,
    // is this same program (the entry then follows a reinstall elsewhere in PATH); otherwise its
    // absolute path, quoted as desktop entries want when it holds blanks or special characters.
    static QString execFor(const QString& program, const QString& foundInPath);

  private:
    QString folder() const;
    QString program() const;

    QString folder_;   // empty: the user's autostart folder
    QString program_;  // empty: the running program
};

}  // namespace zintor
