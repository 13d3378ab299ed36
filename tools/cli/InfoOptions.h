#pragma once

#include <optional>
#include <string_view>

namespace zintor::cli {

// What --help tells about one of Zintor's programs.
struct ProgramHelp {
    std::string_view name;         // "zintor-phone"
    std::string_view usage;        // the arguments after the name: "[--link PATH] [--silent]"
    std::string_view description;  // what the program does, whole lines
    std::string_view options;      // the program's own options, one per line, or empty
};

// -h/--help and -v/--version, as every Zintor program answers them: when an argument asks for
// one, the answer goes to standard output and the exit status (0) comes back; otherwise nothing
// comes back and the program goes on. Arguments after "--" are no options.
std::optional<int> answerInfoOptions(const ProgramHelp& help, int argc, char** argv);

// A command line the program cannot take: `problem` ("unknown option --x") and the usage on
// standard error; the exit status to return, 2.
int usageError(const ProgramHelp& help, std::string_view problem);

}  // namespace zintor::cli
