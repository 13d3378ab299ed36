#include "link/Link.h"
#include "phoneui/Numbers.h"
#include "phoneui/PhoneMenus.h"
#include "phoneui/PhoneTexts.h"

namespace zintor {

namespace texts = phone_texts;
using phoneui::LastCharacter;
using phoneui::MenuNumber;
using phoneui::Middle;

namespace {
constexpr int kApplicationSlots = 9;
}

std::vector<int> PhoneMenus::ConfiguredSlots() const {
    std::vector<int> slots;
    for (int slot = 0; slot < kApplicationSlots; ++slot) {
        if (!state_.AppPath[static_cast<std::size_t>(slot)].empty()) {
            slots.push_back(slot);
        }
    }
    return slots;
}

void PhoneMenus::ApplicationMenuSelected(const std::string& text) {
    // Only the last character counts: "*EAMI: 12" chooses item 2.
    const int n = MenuNumber(LastCharacter(text));
    if (n == 0) {
        ShowMainMenu(MainMenuNumber(texts::kApplication));
        return;
    }

    const std::vector<int> slots = ConfiguredSlots();
    int highlighted = 1;
    if (state_.ModeFlags[ModeApplicationMenu]) {
        // The phone sends an item number, never a path: the slot table decides what starts.
        if (n >= 1 && n <= static_cast<int>(slots.size())) {
            LaunchApplication(slots[static_cast<std::size_t>(n - 1)]);
        }
        highlighted = n;
    }

    if (slots.empty()) {
        state_.ModeFlags[ModeApplicationMenu] = false;
        ErrorMessage(texts::kNoApplication, texts::kErrorPopUpTimeOut,
                     MenuNumber(MainMenuNumber(texts::kApplication)));
        return;
    }

    std::vector<std::string> items;
    items.reserve(slots.size());
    for (int slot : slots) {
        const std::string& name = state_.AppName[static_cast<std::size_t>(slot)];
        items.push_back(name.empty() ? texts::kUnknownApplication : name);
    }
    state_.ModeFlags[ModeApplicationMenu] = true;
    link_.UI_SubMenu(texts::kApplicationTitle, highlighted, items);
}

void PhoneMenus::LaunchApplication(int slot) {
    if (slot < 0 || slot >= static_cast<int>(state_.AppPath.size())) {
        return;
    }
    const std::string& path = state_.AppPath[static_cast<std::size_t>(slot)];
    if (path.empty() || !ports_.files.exists(path)) {
        return;
    }
    const LaunchResult result = ports_.launcher.start(path, false);
    if (!result.started) {
        const std::string message = "Could not start " + path + ": " + result.error;
        link_.WriteLog(message);
        ports_.logSink.diagnostic(message);
    }
}

}  // namespace zintor
