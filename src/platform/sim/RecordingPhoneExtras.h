#pragma once

#include <string>
#include <vector>

#include "core/ports/PhoneExtras.h"

namespace zintor {

// A phone with a touch screen for tests: records what the program shows on it ("keys NAME:
// 5=Enter, *=Shows help ..." with the keys that do something, "help on", "help off") and hands
// the test the program's listener to act on.
class RecordingPhoneExtras : public PhoneExtras {
  public:
    void setListener(PhoneExtrasEvents* events) override { listener_ = events; }
    void showKeyFunctions(const std::string& keyMap,
                          const std::vector<KeyFunction>& keys) override {
        std::string text = "keys " + keyMap + ":";
        for (const KeyFunction& key : keys) {
            if (!key.function.empty()) {
                text += " " + key.code + "=" + key.function + ",";
            }
        }
        if (text.back() == ',') {
            text.pop_back();
        }
        calls_.push_back(std::move(text));
    }
    void showKeyHelp(bool shown) override { calls_.push_back(shown ? "help on" : "help off"); }

    PhoneExtrasEvents* listener() const { return listener_; }
    const std::vector<std::string>& calls() const { return calls_; }

  private:
    PhoneExtrasEvents* listener_ = nullptr;
    std::vector<std::string> calls_;
};

}  // namespace zintor
