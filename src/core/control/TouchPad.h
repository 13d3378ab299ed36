#pragma once

#include <functional>
#include <string>

#include "core/control/InputSynthesis.h"
#include "core/ports/KeyboardMouse.h"
#include "core/ports/PhoneExtras.h"
#include "core/shared/ProgramState.h"

namespace zintor {

// The phone's touch surface and keyboard (the web phone's) as the PC's mouse and keyboard: the
// pointer follows the finger, faster the faster it moves; taps click, two fingers scroll,
// touch-and-hold drags; typed characters are typed on the PC. Only in the key-control mode of a
// connected phone: anything else is dropped, except letting go of a drag it started.
class TouchPad final : public PhoneExtrasEvents {
  public:
    // The pointer moves by kSlowGain screen pixels a phone point for slow fingers, up to
    // kFastGain for a finger that moves kFastPoints or more between two reports.
    static constexpr double kSlowGain = 1.5;
    static constexpr double kFastGain = 4.0;
    static constexpr double kFastPoints = 20.0;
    static constexpr int kMostNotches = 10;  // a report turns the wheel by at most this much

    TouchPad(ProgramState& state, KeyboardMouse& input, InputSynthesis& synthesis)
        : state_(state), input_(input), synthesis_(synthesis) {}

    void touchMoved(int dx, int dy) override;
    void touchTapped(bool twoFingers) override;
    void touchScrolled(int dx, int dy) override;
    void touchHeld(bool down) override;
    void keyboardTyped(const std::string& text) override;

    // Shows the notice that names what the desktop could not type.
    std::function<void(const std::string& notice)> onUntyped;

    // The link ended: a drag it started is over (the buttons are let go by InputSynthesis).
    void forgetDrag() { dragging_ = false; }

  private:
    bool active() const;

    ProgramState& state_;
    KeyboardMouse& input_;
    InputSynthesis& synthesis_;
    double restX_ = 0, restY_ = 0;  // fractions of a pixel not moved yet
    bool dragging_ = false;
};

}  // namespace zintor
