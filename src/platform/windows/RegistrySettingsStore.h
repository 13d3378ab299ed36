#pragma once

#include <string>

#include "core/ports/LogSink.h"
#include "core/ports/SettingsStore.h"

namespace zintor {

// The program's values as string values (REG_SZ) under the current user's
// Software\VB and VBA Program Settings\Zintor4\Settings, where Windows programs of its kind have
// always kept them. Values that are missing or not strings read as the default. A value that
// cannot be written is told through `diagnostic`, once until a write works again.
class RegistrySettingsStore : public SettingsStore {
  public:
    static constexpr const wchar_t* kKey =
        L"Software\\VB and VBA Program Settings\\Zintor4\\Settings";

    explicit RegistrySettingsStore(Diagnostic diagnostic = {});

    std::string read(const std::string& name, const std::string& defaultValue) override;
    void write(const std::string& name, const std::string& value) override;
    void flush() override;

  private:
    void noteWrite(bool written);

    Diagnostic diagnostic_;
    bool failed_ = false;
};

}  // namespace zintor
