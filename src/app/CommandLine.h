#pragma once

#include <optional>

namespace zintor::app {

// Answers --help and --version before anything needs a display; nothing when the program should
// start. Everything else on the command line is left to Qt (-platform NAME and the like).
std::optional<int> answerCommandLine(int argc, char** argv);

}  // namespace zintor::app
