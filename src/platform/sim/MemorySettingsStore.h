#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ports/SettingsStore.h"

namespace zintor {

// Settings held in memory. Records every write ("name=value") and counts flushes.
class MemorySettingsStore : public SettingsStore {
  public:
    std::string read(const std::string& name, const std::string& defaultValue) override {
        auto it = values_.find(name);
        return it == values_.end() ? defaultValue : it->second;
    }
    void write(const std::string& name, const std::string& value) override {
        values_[name] = value;
        writes_.push_back(name + "=" + value);
    }
    void flush() override { ++flushes_; }

    // Test side.
    void set(const std::string& name, const std::string& value) { values_[name] = value; }
    bool has(const std::string& name) const { return values_.count(name) != 0; }
    std::string value(const std::string& name) const {
        auto it = values_.find(name);
        return it == values_.end() ? std::string() : it->second;
    }
    const std::map<std::string, std::string>& values() const { return values_; }
    const std::vector<std::string>& writes() const { return writes_; }
    int flushCount() const { return flushes_; }

  private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> writes_;
    int flushes_ = 0;
};

}  // namespace zintor
