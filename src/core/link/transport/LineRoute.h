#pragma once

#include <functional>
#include <type_traits>
#include <utility>
#include <variant>

#include "core/link/transport/PhoneEvent.h"
#include "core/shared/Task.h"

namespace zintor {

// One row of the table that says where an event from the phone goes. Each part adds the rows of
// its screens (Transport::addRoutes) and the link hands every event to the first row that takes it.
// No two rows take the same event on the same screen, so the order in which the parts add their
// rows changes nothing; a part's own rows read in the order they are tried.
struct LineRoute {
    // Whether this row takes the event now (its kind, its contents, the screen shown).
    std::function<bool(const PhoneEvent&)> takes;
    // Gets its own copy of the event; may wait (for a command's answer, a key's release) while
    // the lines after it are routed.
    std::function<Task<void>(PhoneEvent)> handle;
    // A keypad report: it counts as a sign of life for the supervision once its handling ends,
    // and it leaves the screen's other handlers running.
    bool keypad = false;
};

// The row for events of kind `Event` for which `when` holds; `handle` takes the event.
template <typename Event, typename When, typename Handle>
LineRoute on(When when, Handle handle) {
    LineRoute row;
    row.takes = [when = std::move(when)](const PhoneEvent& event) {
        const Event* typed = std::get_if<Event>(&event);
        return typed != nullptr && when(*typed);
    };
    row.handle = [handle = std::move(handle)](PhoneEvent event) {
        return handle(std::get<Event>(std::move(event)));
    };
    row.keypad = std::is_same_v<Event, KeyEvent>;
    return row;
}

}  // namespace zintor
