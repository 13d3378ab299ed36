#include "CommandLine.h"

#include "InfoOptions.h"

namespace zintor::app {

std::optional<int> answerCommandLine(int argc, char** argv) {
    static constexpr cli::ProgramHelp kHelp{
        "zintor", "[Qt options such as -platform NAME]",
        "Turns a mobile phone on a serial line (AT commands, 115200 8N1) into a remote control\n"
        "for this PC: mouse, keys, media player, master volume, programs and a K8055 USB board.\n"
        "Zintor lives in the system tray; without a tray it shows its main window, without a\n"
        "display it runs headless until Ctrl+C.\n"
        "\n"
        "Settings: $XDG_CONFIG_HOME/Zintor/Zintor4.ini (~/.config/Zintor/Zintor4.ini)\n"
        "Key maps: $XDG_CONFIG_HOME/Zintor/KeyMap.xml, else the KeyMap.xml installed with Zintor\n"
        "          (check one with zintor-keymap-check FILE)\n",
        ""};
    return cli::answerInfoOptions(kHelp, argc, argv);
}

}  // namespace zintor::app
