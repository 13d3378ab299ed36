#pragma once

#include <functional>
#include <string>
#include <vector>

#include "link/transport/LineRoute.h"
#include "shared/ProgramState.h"

namespace zintor {

class PhoneMenus;

// The handlers of the screens that other parts own.
struct OtherScreens {
    using Handler = std::function<Task<void>(std::string)>;
    Handler keyControlKey;       // a key in the key-control mode
    Handler playerStatusKey;     // a key in the status dialog
    Handler playerMenuChoice;    // the playlist menu
    Handler playerStatusChoice;  // the status dialog's end
};

// Where each line from the phone goes, by the screen the phone shows: the link hands every line
// but the answers to its commands to the first row that matches.
std::vector<LineRoute> phoneLineRoutes(PhoneMenus& menus, const ProgramState& state,
                                       const OtherScreens& others);

}  // namespace zintor
