#include "core/control/TouchPad.h"

#include <algorithm>
#include <cmath>

namespace zintor {

bool TouchPad::active() const {
    return state_.connected && state_.screen == Screen::kKeyControl;
}

void TouchPad::touchMoved(int dx, int dy) {
    if (!active()) {
        return;
    }
    const double speed = std::min(std::hypot(dx, dy), kFastPoints);
    const double gain = kSlowGain + (kFastGain - kSlowGain) * speed / kFastPoints;
    restX_ += dx * gain;
    restY_ += dy * gain;
    const int x = static_cast<int>(std::trunc(restX_));
    const int y = static_cast<int>(std::trunc(restY_));
    restX_ -= x;
    restY_ -= y;
    if (x == 0 && y == 0) {
        return;
    }
    int atX = 0;
    int atY = 0;
    if (input_.exactRelativeMoves() || !input_.getCursor(atX, atY)) {
        input_.moveCursorBy(x, y);
    } else {
        input_.setCursor(atX + x, atY + y);
    }
}

void TouchPad::touchTapped(bool twoFingers) {
    if (!active()) {
        return;
    }
    if (twoFingers) {
        synthesis_.sendRightButtonDown();
        synthesis_.sendRightButtonUp();
    } else {
        synthesis_.sendLeftButtonDown();
        synthesis_.sendLeftButtonUp();
    }
}

void TouchPad::touchScrolled(int dx, int dy) {
    if (active() && (dx != 0 || dy != 0)) {
        input_.wheel(std::clamp(dx, -kMostNotches, kMostNotches),
                     std::clamp(dy, -kMostNotches, kMostNotches));
    }
}

void TouchPad::touchHeld(bool down) {
    if (down && active() && !dragging_) {
        dragging_ = true;
        synthesis_.sendLeftButtonDown();
    } else if (!down && dragging_) {
        dragging_ = false;
        synthesis_.sendLeftButtonUp();
    }
}

void TouchPad::keyboardTyped(const std::string& text) {
    if (!active()) {
        return;
    }
    if (const std::string notice = untypedNotice(synthesis_.typeText(text)); !notice.empty()) {
        onUntyped(notice);
    }
}

}  // namespace zintor
