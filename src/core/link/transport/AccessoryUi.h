#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/shared/Task.h"

namespace zintor {

class Transport;

// The phone's accessory user interface: one AT command line per screen, and the keypad's
// reports switched on and off.
class AccessoryUi {
  public:
    explicit AccessoryUi(Transport& transport) : transport_(transport) {}

    Task<void> uiSubMenu(std::string title, int selected, std::vector<std::string> items);
    Task<void> uiTimedFeedBack(std::string name);
    Task<void> uiPopUp(std::string text, std::int32_t timeOut);
    Task<void> registerAccessoryMenu();
    Task<void> showTextInputDialog();
    Task<void> showTextInputDialog(std::int32_t timeOut);
    // The same with `prompt` in place of the usual "->".
    Task<void> showTextInputDialog(std::string prompt);
    Task<void> atCmer(bool reporting);
    Task<void> atCmer(bool reporting, std::int32_t timeOut);

  private:
    Transport& transport_;
};

}  // namespace zintor
