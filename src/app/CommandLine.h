#pragma once

#include <optional>

namespace zintor::app {

// Answers --help and --version before anything needs a display, and refuses (status 2, the usage
// on standard error) anything but Qt's options, which are left to Qt (-platform NAME and the
// like); nothing when the program should start.
std::optional<int> answerCommandLine(int argc, char** argv);

}  // namespace zintor::app
