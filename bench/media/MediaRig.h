#pragma once

// The whole program on the simulated world with a real media player and real files.

#include <string>
#include <vector>

#include "core/link/Link.h"
#include "core/program/Program.h"
#include "platform/sim/SimWorld.h"

namespace zintor::testing {

using Lines = std::vector<std::string>;

// The phone connected on COM3, showing the main menu ("WinAMP" is item 3 of five).
class MediaRig {
  public:
    MediaRig(const std::string& playerPath, MediaPlayer& player, Files& files)
        : program(Ports{world.loop, world.serial(), world.registry, world.settings, files,
                        world.logSink, world.desktop, world.launcher, world.input, world.mixer,
                        player, world.board, world.extras}) {
        world.registry.add("\\Device\\Serial2", "COM3");
        world.settings.set("Com", "3");
        world.settings.set("AppPath9", playerPath);
        world.serial().setPhonePort(3);
        program.startup();
        world.loop.runFor(500);
    }
    ~MediaRig() { program.shutdown(); }

    // The phone sends `line` (CR LF added); what the PC sent within `ms`, without the
    // supervision's "AT" probes.
    Lines say(const std::string& line, int ms = 1500) {
        world.phone.clearLines();
        world.phone.send(line + "\r\n");
        world.loop.runFor(ms);
        Lines sent;
        for (const std::string& text : world.phone.texts()) {
            if (text != "AT") {
                sent.push_back(text);
            }
        }
        return sent;
    }
    // From the main menu into the playlist menu.
    Lines openPlaylist() { return say("*EAMI: 3"); }

    SimWorld world;
    Program program;
};

}  // namespace zintor::testing
