#pragma once

#include <string>

namespace zintor {

// Named string values of the program ("Zintor4", section "Settings").
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& name, const std::string& defaultValue) = 0;
    virtual void write(const std::string& name, const std::string& value) = 0;
    // Makes written values durable (flushes to disk).
    virtual void flush() = 0;
};

}  // namespace zintor
