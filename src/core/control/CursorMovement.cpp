#include "control/CursorMovement.h"

#include "link/Link.h"

namespace zintor {

void CursorMovement::Step(int dx, int dy) {
    int x = 0;
    int y = 0;
    // A position that cannot be read is not guessed at: the cursor stays where it is.
    if (input_.getCursor(x, y)) {
        const long step = state_.MouseStep;
        input_.setCursor(static_cast<int>(x + dx * step), static_cast<int>(y + dy * step));
    }
    link_.Wait(static_cast<float>(state_.MouseSpeed) / 1000.0f);
}

}  // namespace zintor
