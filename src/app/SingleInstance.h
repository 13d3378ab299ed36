#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace zintor::app {

// One Zintor per configuration: a second one would fight the first for the phone's port and
// write the same settings file. The lock lives in the configuration folder and is let go when
// the program ends; one left behind by a program that crashed is taken over.
//
// A second start asks the first, through a local socket in the user's runtime folder, to show
// its settings window, and ends.
class SingleInstance : public QObject {
  public:
    explicit SingleInstance(const QString& configFolder);
    ~SingleInstance() override;

    // False when another Zintor holds the configuration.
    bool isFirst() const { return first_; }

    // The first: from now on a second start calls `showSettings`, which opens the settings
    // window later (not from inside the call) and says whether there is one to open.
    void serve(std::function<bool()> showSettings);

    // The second: asks the first for its settings window. Tells the user only when that cannot
    // be done (standard error, and a message box when there is a screen).
    void askFirst(bool headless);

    // The socket a configuration folder's Zintor listens on.
    static QString socketPath(const QString& configFolder);

  private:
    QLockFile lock_;
    QString socketPath_;
    QLocalServer* server_ = nullptr;
    std::function<bool()> showSettings_;
    bool first_ = false;
};

}  // namespace zintor::app
