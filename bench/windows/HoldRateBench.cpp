// How fast the cursor goes while a phone direction key is held, on the Win32 event loop and the
// SendInput adapter: the program's cursor repeat (a step, a pause of the mouse speed, one pixel
// more a step every 300 ms) held for one second at speed 5, a number of times. Prints the steps
// and the pixels of each hold; at 200 steps a second a one-second hold moves 440 px.
//
//   wine zintor_hold_rate_bench.exe [holds]      (default 5; on a display at least 1000 px wide)
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "core/control/CursorMovement.h"
#include "core/shared/HoldRepeat.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"
#include "platform/windows/SendInputKeyboardMouse.h"
#include "platform/windows/WinEventLoop.h"

int main(int argc, char** argv) {
    using namespace zintor;
    const int holds = argc > 1 ? std::atoi(argv[1]) : 5;
    WinEventLoop loop;
    SendInputKeyboardMouse input;
    ProgramState state;
    state.mouseSpeed = 5;
    CursorMovement cursor(input);
    RepeatGate gate;
    bool held = false;
    HoldRepeat repeat(loop, gate, held);
    TaskScope tasks;
    for (int hold = 0; hold < holds; ++hold) {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 20, 100);
        POINT start{};
        GetCursorPos(&start);
        int steps = 0;
        cursor.resetStep();
        const auto faster = loop.startTimer(300, [&] { cursor.accelerate(); });
        tasks.start(repeat.run(
            [&] {
                ++steps;
                cursor.moveCursorLeft();
            },
            [&] { return std::int64_t{state.mouseSpeed}; }));
        loop.waitUntil(loop.now() + 1000);
        repeat.stop();
        loop.stopTimer(faster);
        loop.waitUntil(loop.now() + 50);
        POINT end{};
        GetCursorPos(&end);
        std::printf("hold %d: %d steps, %ld px\n", hold + 1, steps, start.x - end.x);
    }
    return 0;
}
