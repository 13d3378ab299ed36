#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ports/KeyboardMouse.h"
#include "platform/sim/SimEventLoop.h"

namespace zintor {

// Records one line per injection call, with its virtual time: "down 16", "up 16", "press 65",
// "left down", "left up", "right down", "right up", "cursor 10,20" (the position after clipping),
// "move -2,0" (a relative move, clipped the same way), "wheel 0,1", "type U+00E9" (a typed
// character). It types every character but those it is told it cannot (nothing is recorded for
// those).
// The cursor lives on a screen of configurable size (1920 x 1080 unless set) and is clipped to it.
class RecordingKeyboardMouse : public KeyboardMouse {
  public:
    struct Call {
        std::int64_t atMs;
        std::string text;
    };

    explicit RecordingKeyboardMouse(const SimEventLoop& loop) : loop_(loop) {}

    void keyDown(std::uint8_t vk) override { record("down " + std::to_string(vk)); }
    void keyUp(std::uint8_t vk) override { record("up " + std::to_string(vk)); }
    void keyPress(std::uint8_t vk) override { record("press " + std::to_string(vk)); }
    void leftButtonDown() override { record("left down"); }
    void leftButtonUp() override { record("left up"); }
    void rightButtonDown() override { record("right down"); }
    void rightButtonUp() override { record("right up"); }
    void wheel(int dx, int dy) override {
        record("wheel " + std::to_string(dx) + "," + std::to_string(dy));
    }
    bool typeCharacter(char32_t character) override;
    bool getCursor(int& x, int& y) override;
    void setCursor(int x, int y) override;
    void moveCursorBy(int dx, int dy) override;
    bool exactRelativeMoves() const override { return exactRelative_; }

    std::vector<std::string> calls() const;
    const std::vector<Call>& timedCalls() const { return calls_; }
    void clear() { calls_.clear(); }

    void placeCursor(int x, int y);  // set by the test, not recorded
    int cursorX() const { return x_; }
    int cursorY() const { return y_; }
    void failGetCursor(bool fail) { getFails_ = fail; }
    void cannotType(const std::string& characters);  // UTF-8

  private:
    void record(std::string text) { calls_.push_back(Call{loop_.now(), std::move(text)}); }
    void clip();

    const SimEventLoop& loop_;
    std::vector<Call> calls_;
    int width_ = 1920, height_ = 1080;
    int x_ = 960, y_ = 540;
    bool getFails_ = false;
    bool exactRelative_ = false;
    std::u32string untypable_;
};

}  // namespace zintor
