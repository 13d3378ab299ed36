#include "core/phoneui/ApplicationMenu.h"

#include <algorithm>

#include "core/link/Link.h"
#include "core/link/transport/LineRoute.h"
#include "core/phoneui/ErrorPopUp.h"
#include "core/phoneui/MainMenu.h"
#include "core/phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;

namespace {
constexpr int kApplicationSlots = 9;
}

ApplicationMenu::ApplicationMenu(ProgramState& state, Ports& ports, Link& link, MainMenu& mainMenu,
                                 ErrorPopUp& errors)
    : state_(state), ports_(ports), link_(link), mainMenu_(mainMenu), errors_(errors) {
    // Only the last digit counts: "*EAMI: 12" chooses item 2; no digit, the way back.
    link.transport.addRoutes({
        on<MenuChosen>(
            [this](const MenuChosen&) { return state_.screen == Screen::kApplicationMenu; },
            [this](MenuChosen choice) { return select(std::max(choice.lastDigit, 0)); }),
    });
}

std::vector<int> ApplicationMenu::configuredSlots() const {
    std::vector<int> slots;
    for (int slot = 0; slot < kApplicationSlots; ++slot) {
        if (!state_.appPath[static_cast<std::size_t>(slot)].empty()) {
            slots.push_back(slot);
        }
    }
    return slots;
}

Task<void> ApplicationMenu::select(int n) {
    if (n == 0) {
        co_await mainMenu_.show(mainMenu_.position(texts::kApplication));
        co_return;
    }

    const std::vector<int> slots = configuredSlots();
    int highlighted = 1;
    if (state_.screen == Screen::kApplicationMenu) {
        // The phone sends an item number, never a path: the slot table decides what starts.
        if (n >= 1 && n <= static_cast<int>(slots.size())) {
            launch(slots[static_cast<std::size_t>(n - 1)]);
        }
        highlighted = n;
    }

    if (slots.empty()) {
        co_await errors_.show(texts::kNoApplication, texts::kErrorPopUpTimeOut);
        co_return;
    }

    std::vector<std::string> items;
    for (int slot : slots) {
        const std::string& name = state_.appName[static_cast<std::size_t>(slot)];
        items.push_back(name.empty() ? texts::kUnknownApplication : name);
    }
    state_.screen = Screen::kApplicationMenu;
    co_await link_.ui.uiSubMenu(texts::kApplicationTitle, highlighted, items);
}

void ApplicationMenu::launch(int slot) {
    const std::string& path = state_.appPath[static_cast<std::size_t>(slot)];
    if (path.empty() || !ports_.files.exists(path)) {
        return;
    }
    const LaunchResult result = ports_.launcher.start(path, false);
    if (!result.started) {
        const std::string message = "Could not start " + path + ": " + result.error;
        link_.log.write(message);
        ports_.logSink.diagnostic(message);
    }
}

}  // namespace zintor
