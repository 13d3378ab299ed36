#pragma once

#include <QSettings>
#include <memory>
#include <string>

#include "ports/SettingsStore.h"

namespace zintor {

// The program's values in an ini file, group "Settings": by default
// $XDG_CONFIG_HOME/Zintor/Zintor4.ini (~/.config/Zintor/Zintor4.ini).
// Value names are kept as given; QSettings writes a blank inside a name as "%20" in the file
// ("AppName%203=..."), and reads both that and a hand-written "AppName 3=..." back as "AppName 3".
class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore();                                     // the user's file
    explicit QtSettingsStore(const std::string& iniPath);  // any file (tests)

    static std::string defaultPath();

    std::string read(const std::string& name, const std::string& defaultValue) override;
    void write(const std::string& name, const std::string& value) override;
    void flush() override;

    std::string path() const;
    // The last flush failed (folder not writable, file locked, ...).
    bool failed() const { return failed_; }

  private:
    std::unique_ptr<QSettings> settings_;
    bool failed_ = false;
};

}  // namespace zintor
