// zintor-keymap-check FILE: loads a key-map file with Zintor's own loader and prints its key
// maps, keys and commands, then any warnings and the error, as FILE:LINE:COLUMN: text.
// Exit status 0 when the file loads without error, 1 otherwise, 2 for a wrong command line.

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "InfoOptions.h"
#include "core/keymap/KeyMapDescribe.h"
#include "core/keymap/KeyMapLoader.h"

int main(int argc, char** argv) {
    using namespace zintor;
    static constexpr cli::ProgramHelp kHelp{
        "zintor-keymap-check", "FILE",
        "Loads a Zintor key-map file (KeyMap.xml) with Zintor's own loader and prints its key\n"
        "maps, keys and commands, then any warnings and the error as FILE:LINE:COLUMN: text.\n"
        "Exit status 0 when the file loads without error, 1 otherwise, 2 for a command line it\n"
        "cannot take.\n",
        ""};
    if (const auto status = cli::answerInfoOptions(kHelp, argc, argv)) {
        return *status;
    }
    // After "--" a file name may start with a dash.
    std::vector<std::string> files;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
            return cli::usageError(kHelp, "unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 1) {
        return cli::usageError(kHelp, files.empty() ? "no file given" : "one file only");
    }
    const std::string path = files.front();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << path << ": cannot be read\n";
        return 1;
    }
    const std::string text = keyMapTextAsUtf8(
        std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));

    std::vector<KeyMap> keyMaps;
    std::array<USBOutput, 8> outputs;
    std::vector<KeyMapNote> notes;
    KeyMapLoadOptions options;
    options.notes = &notes;
    const KeyMapLoadResult result = loadKeyMaps(text, keyMaps, outputs, options);

    std::cout << describeKeyMaps(keyMaps, outputs);
    std::cout << keyMaps.size() << (keyMaps.size() == 1 ? " key map" : " key maps") << "\n";
    for (const KeyMapNote& note : notes) {
        std::cerr << path << ":" << note.at.line << ":" << note.at.column
                  << ": warning: " << note.text << "\n";
    }
    if (!result.ok()) {
        std::cerr << formatLoadError(path, *result.error) << "\n"
                  << "Loading stops here; Zintor keeps the key maps read before it.\n";
        return 1;
    }
    return 0;
}
