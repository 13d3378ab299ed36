#include "app/CommandLine.h"

#include <array>
#include <string>
#include <string_view>

#include "InfoOptions.h"

namespace zintor::app {

namespace {

// Qt's own options that make sense for a tray program: those with a value, then those without.
// Qt takes them with one dash or two.
constexpr std::array<std::string_view, 11> kQtValueOptions{
    "platform",   "platformtheme",   "platformpluginpath", "plugin",      "display", "style",
    "stylesheet", "qwindowgeometry", "qwindowtitle",       "qwindowicon", "session"};
constexpr std::array<std::string_view, 5> kQtFlags{"reverse", "widgetcount", "sync", "nograb",
                                                   "dograb"};

template <std::size_t n>
bool listed(const std::array<std::string_view, n>& names, std::string_view name) {
    for (std::string_view known : names) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<int> answerCommandLine(int argc, char** argv) {
    static constexpr cli::ProgramHelp kHelp{
        "zintor", "[Qt options such as -platform NAME]",
        "Turns a mobile phone on a serial line (AT commands, 115200 8N1) into a remote control\n"
        "for this PC: mouse, keys, media player, master volume, programs and a K8055 USB board.\n"
        "Zintor lives in the system tray; without a tray it shows its main window, without a\n"
        "display it runs headless until Ctrl+C. Started again, it shows the settings window of\n"
        "the Zintor that runs.\n"
        "\n"
        "Settings: $XDG_CONFIG_HOME/Zintor/Zintor4.ini (~/.config/Zintor/Zintor4.ini)\n"
        "Key maps: $XDG_CONFIG_HOME/Zintor/KeyMap.xml, else the KeyMap.xml installed with Zintor\n"
        "          (check one with zintor-keymap-check FILE)\n",
        "  -platform NAME, -display DISPLAY, -style NAME, -session ID, ...\n"
        "                 Qt's options (see man zintor)\n"};
    if (const auto status = cli::answerInfoOptions(kHelp, argc, argv)) {
        return *status;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string_view name = arg;
        if (name.size() < 2 || name[0] != '-') {
            return cli::usageError(kHelp, "unexpected argument " + arg);
        }
        name.remove_prefix(name.starts_with("--") ? 2 : 1);
        if (listed(kQtValueOptions, name) && i + 1 < argc) {
            ++i;
        } else if (!listed(kQtFlags, name)) {
            return cli::usageError(kHelp, listed(kQtValueOptions, name) ? arg + " needs a value"
                                                                        : "unknown option " + arg);
        }
    }
    return std::nullopt;
}

}  // namespace zintor::app
