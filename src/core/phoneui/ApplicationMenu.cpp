#include "core/link/Link.h"
#include "core/phoneui/PhoneMenus.h"
#include "core/phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;

namespace {
constexpr int kApplicationSlots = 9;
}

std::vector<int> PhoneMenus::configuredSlots() const {
    std::vector<int> slots;
    for (int slot = 0; slot < kApplicationSlots; ++slot) {
        if (!state_.appPath[static_cast<std::size_t>(slot)].empty()) {
            slots.push_back(slot);
        }
    }
    return slots;
}

Task<void> PhoneMenus::applicationMenuSelected(int n) {
    if (n == 0) {
        co_await showMainMenu(mainMenuPosition(texts::kApplication));
        co_return;
    }

    const std::vector<int> slots = configuredSlots();
    int highlighted = 1;
    if (state_.screen == Screen::kApplicationMenu) {
        // The phone sends an item number, never a path: the slot table decides what starts.
        if (n >= 1 && n <= static_cast<int>(slots.size())) {
            launchApplication(slots[static_cast<std::size_t>(n - 1)]);
        }
        highlighted = n;
    }

    if (slots.empty()) {
        co_await showErrorPopUp(texts::kNoApplication, texts::kErrorPopUpTimeOut);
        co_return;
    }

    std::vector<std::string> items;
    items.reserve(slots.size());
    for (int slot : slots) {
        const std::string& name = state_.appName[static_cast<std::size_t>(slot)];
        items.push_back(name.empty() ? texts::kUnknownApplication : name);
    }
    state_.screen = Screen::kApplicationMenu;
    co_await link_.ui.uiSubMenu(texts::kApplicationTitle, highlighted, items);
}

void PhoneMenus::launchApplication(int slot) {
    if (slot < 0 || slot >= static_cast<int>(state_.appPath.size())) {
        return;
    }
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
