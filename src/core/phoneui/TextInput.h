#pragma once

#include <functional>
#include <string>

#include "core/shared/ProgramState.h"
#include "core/shared/Task.h"

namespace zintor {

struct Link;
class KeyControlScreen;

// The phone's text input dialog, opened from key control: each line entered is typed on the PC
// and the dialog comes again; closing it goes back to key control.
class TextInput {
  public:
    TextInput(ProgramState& state, Link& link, KeyControlScreen& keyControl);

    // A line to type; gives what the phone names as not typed (""). Program connects it.
    std::function<std::string(const std::string&)> onTextEntered;

  private:
    Task<void> entered(std::string text);

    ProgramState& state_;
    Link& link_;
    KeyControlScreen& keyControl_;
};

}  // namespace zintor
