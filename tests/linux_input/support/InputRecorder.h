#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

struct _XDisplay;

namespace zintor::testing {

// One key or button event as the X server delivered it.
struct RecordedInput {
    bool down = false;
    unsigned detail = 0;   // key code or button number
    std::string name;      // key symbol under the layout of that moment, or "button<n>"
    std::string typed[2];  // the character the key gave then without and with Shift, or ""

    // "+a" for a press of the A key, "-Shift_L" for a release, "+button1", ...
    std::string text() const { return (down ? "+" : "-") + name; }
};

// A second X client that records every key and button event the server delivers, whatever window
// has the focus (XInput2 raw events on the root window).
class InputRecorder {
  public:
    explicit InputRecorder(const std::string& display);
    ~InputRecorder();
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    bool ok() const { return display_ != nullptr; }
    // Waits for `count` events in all (or `limit`); all of them (or their texts), taken.
    std::vector<RecordedInput> take(std::size_t count,
                                    std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::vector<std::string> takeTexts(std::size_t count);
    // The text that `count` events typed (UTF-8), Shift applied.
    std::string takeTyped(std::size_t count);
    // The key code of `keysymName` in the current layout (as the server has it now).
    unsigned keyCode(const std::string& keysymName);
    _XDisplay* display() const { return display_; }

  private:
    void readEvents();

    _XDisplay* display_ = nullptr;
    int xiOpcode_ = 0;
    std::vector<RecordedInput> events_;
};

}  // namespace zintor::testing
