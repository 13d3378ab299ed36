// libFuzzer target for the link's receive path: the whole program, connected to the simulated
// phone, gets the input as what the phone sends (a 0xFF byte lets 50 ms of virtual time pass, so
// lines arrive whole, split or in bursts), then the phone hangs up. Crashes, AddressSanitizer and
// UBSan reports, a wait for something that can never come, and any line to the phone that is
// not one clean command line abort.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "core/program/Program.h"
#include "platform/sim/SimWorld.h"

namespace {

using namespace zintor;

const char* const kKeyMap =
    "<KEYMAP><KEYMAP_NAME>A \"b\"</KEYMAP_NAME>"
    "<KEY_5><COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>SPECIAL KEY</COMMAND_TYPE>"
    "<COMMAND>RETURN</COMMAND><KEY_7><COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>MOUSE</COMMAND_TYPE>"
    "<COMMAND>LEFT HOLD</COMMAND><KEY_8><COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>INPUT"
    "</COMMAND_TYPE><COMMAND></COMMAND><KEY_VOLUME_UP><COMMAND_ID>1</COMMAND_ID>"
    "<COMMAND_TYPE>VOLUME</COMMAND_TYPE><COMMAND>MASTER UP</COMMAND>"
    "<KEYMAP><KEYMAP_NAME>B</KEYMAP_NAME>";

bool cleanLine(const std::string& line) {
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) {
        return false;
    }
    int quotes = 0;
    for (std::size_t i = 0; i + 2 < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            return false;
        }
        quotes += c == '"';
    }
    return quotes % 2 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SimWorld world;
    world.loop.setMaxSteps(2'000'000);
    world.registry.add("\\Device\\Serial0", "COM1");
    world.settings.set("AppPath9", "/usr/bin/audacious");
    world.player.setPlaylist({"/a.mp3", "/b \"x\".mp3", "/c.mp3"}, 1);
    world.files.putFile("/opt/zintor/KeyMap.xml", kKeyMap);
    Program program(world.ports());
    try {
        program.startup();
        world.loop.runFor(200);
        std::int64_t at = world.loop.now();
        std::string chunk;
        for (std::size_t i = 0; i <= size; ++i) {
            if (i == size || data[i] == 0xFF) {
                world.phone.sendAt(at, chunk);
                chunk.clear();
                at += 50;
            } else {
                chunk += static_cast<char>(data[i]);
            }
        }
        world.loop.schedule(at + 100, [&world] { world.phone.hangUp(); });
        world.loop.schedule(at + 200, [&world] { world.desktop.userClosesKeyHelp(); });
        world.loop.schedule(at + 300, [&world] { world.desktop.listener()->exitClicked(); });
        world.loop.runUntil(at + 10000);
    } catch (const std::logic_error&) {
        std::abort();  // waiting for something that can never come
    } catch (const std::runtime_error&) {
        return 0;  // the step guard
    }
    for (const auto& write : world.serial().writes()) {
        if (!cleanLine(write.bytes)) {
            std::abort();
        }
    }
    return 0;
}
