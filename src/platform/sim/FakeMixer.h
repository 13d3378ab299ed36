#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ports/Mixer.h"

namespace zintor {

// A master volume in memory. Each step can be made to fail; every set is recorded.
class FakeMixer : public Mixer {
  public:
    bool open() override { return openOk_; }
    bool findMasterVolume() override { return findOk_; }
    bool getVolume(std::uint32_t& value) override {
        if (!getOk_) {
            return false;
        }
        value = value_;
        return true;
    }
    bool setVolume(std::uint32_t value) override {
        sets_.push_back(value);
        if (!setOk_) {
            return false;
        }
        value_ = value;
        return true;
    }

    void setValue(std::uint32_t value) { value_ = value; }
    std::uint32_t value() const { return value_; }
    void failOpen(bool fail) { openOk_ = !fail; }
    void failFind(bool fail) { findOk_ = !fail; }
    void failGet(bool fail) { getOk_ = !fail; }
    void failSet(bool fail) { setOk_ = !fail; }
    const std::vector<std::uint32_t>& sets() const { return sets_; }

  private:
    std::uint32_t value_ = 32768;
    bool openOk_ = true;
    bool findOk_ = true;
    bool getOk_ = true;
    bool setOk_ = true;
    std::vector<std::uint32_t> sets_;
};

}  // namespace zintor
