#pragma once

#include <string>

#include "ports/SettingsStore.h"

namespace zintor {

// The program's values as string values (REG_SZ) under the current user's
// Software\VB and VBA Program Settings\Zintor4\Settings, where Windows programs of its kind have
// always kept them. Values that are missing or not strings read as the default.
class RegistrySettingsStore : public SettingsStore {
  public:
    static constexpr const wchar_t* kKey =
        L"Software\\VB and VBA Program Settings\\Zintor4\\Settings";

    RegistrySettingsStore();
    explicit RegistrySettingsStore(std::wstring keyPath);  // another key below HKEY_CURRENT_USER

    std::string read(const std::string& name, const std::string& defaultValue) override;
    void write(const std::string& name, const std::string& value) override;
    void flush() override;

    // The last write or flush failed (key not writable).
    bool failed() const { return failed_; }

  private:
    std::wstring keyPath_;
    bool failed_ = false;
};

}  // namespace zintor
