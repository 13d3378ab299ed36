#include "core/link/transport/RoutingTable.h"

#include <iterator>
#include <utility>

#include "core/link/transport/TimerSlots.h"

namespace zintor {

RoutingTable::RoutingTable(ProgramState& state, TimerSlots& timers, TaskScope& tasks)
    : state_(state), timers_(timers), tasks_(tasks) {}

void RoutingTable::addRoutes(std::vector<LineRoute> routes) {
    routes_.insert(routes_.end(), std::make_move_iterator(routes.begin()),
                   std::make_move_iterator(routes.end()));
}

void RoutingTable::route(std::string_view line) {
    PhoneEvent event = phoneEventOf(line);
    for (const LineRoute& row : routes_) {
        if (!row.takes(event)) {
            continue;
        }
        if (row.keypad) {
            tasks_.start(handleKeypad(row.handle(std::move(event))));
        } else {
            screenTasks_.destroyAll();
            screenTasks_.start(row.handle(std::move(event)));
        }
        return;
    }
}

// Key traffic is a sign of life once the key's handling has ended (a held key's repeat ends with
// its release), as long as the link it came on is still there.
Task<void> RoutingTable::handleKeypad(Task<void> handling) {
    co_await std::move(handling);
    if (state_.connected) {
        timers_.reset(TimerSlot::kSupervision);
    }
}

}  // namespace zintor
