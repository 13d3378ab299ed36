#pragma once

#include <string_view>
#include <vector>

#include "core/link/transport/LineRoute.h"
#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

class TimerSlots;

// Where the events from the phone go: each line is read once into a typed event, and the first
// of the rows the parts added that takes it handles it.
class RoutingTable {
  public:
    // Keypad handlers are started in `tasks`; the table keeps the screens' handlers itself.
    RoutingTable(ProgramState& state, TimerSlots& timers, TaskScope& tasks);
    RoutingTable(const RoutingTable&) = delete;
    RoutingTable& operator=(const RoutingTable&) = delete;

    void addRoutes(std::vector<LineRoute> routes);
    // Reads `line` into an event and starts the handler of the first row that takes it; a line
    // no row takes is dropped.
    void route(std::string_view line);
    // Destroys the screen handlers still waiting (the program is going).
    void dropScreenTasks() { screenTasks_.destroyAll(); }

  private:
    Task<void> handleKeypad(Task<void> handling);

    ProgramState& state_;
    TimerSlots& timers_;
    TaskScope& tasks_;
    std::vector<LineRoute> routes_;
    // The handlers of the phone's menu and dialog lines still running: the phone's screen has
    // moved on when the next such line comes, so what they still had to do is dropped then.
    TaskScope screenTasks_;
};

}  // namespace zintor
