#pragma once

#include <QSettings>
#include <memory>
#include <string>

#include "core/ports/LogSink.h"
#include "core/ports/SettingsStore.h"

namespace zintor {

// The program's values in an ini file, group "Settings": by default
// $XDG_CONFIG_HOME/Zintor/Zintor4.ini (~/.config/Zintor/Zintor4.ini).
// Value names are kept as given; QSettings writes a blank inside a name as "%20" in the file
// ("AppName%203=..."), and reads both that and a hand-written "AppName 3=..." back as "AppName 3".
//
// A save that fails (the folder or the file not writable, the disk full) is told through
// `diagnostic`, once until a save works again; the values stay in memory for the next try.
class QtSettingsStore : public SettingsStore {
  public:
    explicit QtSettingsStore(Diagnostic diagnostic = {});  // the user's file
    explicit QtSettingsStore(const std::string& iniPath,
                             Diagnostic diagnostic = {});  // any file (tests)

    static std::string defaultPath();

    std::string read(const std::string& name, const std::string& defaultValue) override;
    void write(const std::string& name, const std::string& value) override;
    void flush() override;

    std::string path() const;

  private:
    std::unique_ptr<QSettings> settings_;
    Diagnostic diagnostic_;
    bool failed_ = false;
};

}  // namespace zintor
