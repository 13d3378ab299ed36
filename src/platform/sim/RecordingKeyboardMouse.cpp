#include "platform/sim/RecordingKeyboardMouse.h"

#include <algorithm>
#include <cstdio>

#include "core/link/transport/Charsets.h"

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

void RecordingKeyboardMouse::cannotType(const std::string& characters) {
    untypable_.clear();
    for (std::size_t at = 0; at < characters.size();) {
        untypable_ += nextCharacter(characters, at);
    }
}

bool RecordingKeyboardMouse::typeCharacter(char32_t character) {
    if (untypable_.find(character) != std::u32string::npos) {
        return false;
    }
    char text[16];
    std::snprintf(text, sizeof text, "type U+%04X", static_cast<unsigned>(character));
    record(text);
    return true;
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
