#pragma once

#include <QLockFile>
#include <QString>

namespace zintor::app {

// One Zintor per configuration: a second one would fight the first for the phone's port and
// write the same settings file. The lock lives in the configuration folder and is let go when
// the program ends; one left behind by a program that crashed is taken over.
class SingleInstance {
  public:
    explicit SingleInstance(const QString& configFolder);

    // False when another Zintor holds the configuration.
    bool isFirst() const { return first_; }

    // Tells the user so (standard error, and a message box when there is a screen).
    static void tellRunningAlready(bool headless);

  private:
    QLockFile lock_;
    bool first_ = false;
};

}  // namespace zintor::app
