#include "core/shared/RepeatGate.h"

#include <utility>

#include "core/shared/HoldRepeat.h"

namespace zintor {

void RepeatGate::open() {
    closed_ = false;
    for (HoldRepeat* repeat : std::exchange(waiting_, {})) {
        repeat->wakeSleeper();
    }
}

}  // namespace zintor
