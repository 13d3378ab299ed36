#include "core/control/CursorMovement.h"

namespace zintor {

void CursorMovement::step(int dx, int dy) {
    int x = 0;
    int y = 0;
    const int step = pixels_;
    // Where the position cannot be read (Wayland), the same step is made relative to it; where
    // a relative move is exact (X11), it saves asking for the position at every step.
    if (input_.exactRelativeMoves() || !input_.getCursor(x, y)) {
        input_.moveCursorBy(dx * step, dy * step);
    } else {
        input_.setCursor(x + dx * step, y + dy * step);
    }
}

}  // namespace zintor
