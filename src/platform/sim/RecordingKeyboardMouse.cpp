#include "RecordingKeyboardMouse.h"

#include <algorithm>

namespace zintor {

bool RecordingKeyboardMouse::getCursor(int& x, int& y) {
    if (getFails_) {
        return false;
    }
    x = x_;
    y = y_;
    return true;
}

void RecordingKeyboardMouse::setCursor(int x, int y) {
    x_ = x;
    y_ = y;
    clip();
    record("cursor " + std::to_string(x_) + "," + std::to_string(y_));
}

void RecordingKeyboardMouse::moveCursorBy(int dx, int dy) {
    x_ += dx;
    y_ += dy;
    clip();
    record("move " + std::to_string(dx) + "," + std::to_string(dy));
}

void RecordingKeyboardMouse::clip() {
    x_ = std::clamp(x_, 0, std::max(0, width_ - 1));
    y_ = std::clamp(y_, 0, std::max(0, height_ - 1));
}

void RecordingKeyboardMouse::placeCursor(int x, int y) {
    x_ = x;
    y_ = y;
    clip();
}

std::vector<std::string> RecordingKeyboardMouse::calls() const {
    std::vector<std::string> out;
    out.reserve(calls_.size());
    for (const Call& call : calls_) {
        out.push_back(call.text);
    }
    return out;
}

}  // namespace zintor
