#include "InfoOptions.h"

#include <iostream>
#include <string>

#include "Version.h"

namespace zintor::cli {

std::optional<int> answerInfoOptions(const ProgramHelp& help, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") {
            break;
        }
        if (arg == "-v" || arg == "--version") {
            std::cout << help.name << ' ' << versionText() << '\n';
            return 0;
        }
        if (arg == "-h" || arg == "--help") {
            std::cout << "Usage: " << help.name << ' ' << help.usage << "\n\n"
                      << help.description << "\nOptions:\n"
                      << help.options << "  -h, --help     show this help and exit\n"
                      << "  -v, --version  show the version and exit\n";
            return 0;
        }
    }
    return std::nullopt;
}

int usageError(const ProgramHelp& help, std::string_view problem) {
    std::cerr << help.name << ": " << problem << "\nUsage: " << help.name << ' ' << help.usage
              << "\nTry '" << help.name << " --help' for more information.\n";
    return 2;
}

}  // namespace zintor::cli
