#include "World.h"

#include "link/Link.h"

namespace zintor::faultsim {
namespace {

std::string Key(const std::string& key, const std::string& type, const std::string& command) {
    return "<" + key + "><COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>" + type +
           "</COMMAND_TYPE><COMMAND>" + command + "</COMMAND>";
}

// Three key maps: every command type, hold loops on "5" (repeat), "u"/"d" (mixer) and "0"
// (player volume); names from data that must not break a phone line.
const std::string kKeyMaps =
    "<KEYMAP><KEYMAP_NAME>Desk \"top\" Caf\xC3\xA9\r\nATD1;</KEYMAP_NAME>" +
    Key("KEY_1", "KEY DOWN", "CONTROL") + Key("KEY_2", "KEY UP", "CONTROL") +
    Key("KEY_3", "KEY", "ab") + Key("KEY_4", "MOUSE", "LEFT") +
    Key("KEY_5", "SPECIAL KEY", "RETURN") + Key("KEY_6", "MOUSE", "RIGHT") +
    Key("KEY_7", "MOUSE", "LEFT HOLD") + Key("KEY_8", "INPUT", "") + Key("KEY_9", "WAIT", "300") +
    "<COMMAND_ID>2</COMMAND_ID><COMMAND_TYPE>KEY</COMMAND_TYPE><COMMAND>x</COMMAND>" +
    Key("KEY_0", "WINAMP", "VOLUME UP") + Key("KEY_VOLUME_UP", "VOLUME", "MASTER UP") +
    Key("KEY_VOLUME_DOWN", "VOLUME", "MASTER DOWN") + Key("KEY_WAP", "WINAMP", "NEXT TRACK") +
    Key("KEY_CAMERA", "WINAMP", "CLOSE") + "<KEYMAP><KEYMAP_NAME>Media \xE2\x82\xAC</KEYMAP_NAME>" +
    Key("KEY_1", "WINAMP", "PLAY") + Key("KEY_2", "WINAMP", "STOP") +
    Key("KEY_3", "WINAMP", "START") + Key("KEY_4", "WINAMP", "TIME") +
    Key("KEY_5", "SPECIAL KEY", "RETURN") + Key("KEY_0", "WINAMP", "VOLUME DOWN") +
    Key("KEY_VOLUME_UP", "VOLUME", "MASTER UP") +
    "<KEYMAP><KEYMAP_NAME>Empty</KEYMAP_NAME>"
    "<USB_DIGITAL_OUT_1><NAME_ON>Lamp \"on\"\r\nATD2;</NAME_ON><NAME_OFF>off</NAME_OFF>";

const char* const kPlayer = "/usr/bin/audacious";

}  // namespace

World::World(const Config& config) {
    sim.loop.setMaxDepth(kMaxDepth);
    sim.loop.setMaxSteps(20'000'000);
    sim.registry.add("\\Device\\Serial0", "COM1");
    sim.registry.add("\\Device\\Serial2", "COM3");
    sim.registry.add("\\Device\\Serial4", "COM5");
    sim.serial().setPhonePort(3);
    sim.settings.set("Com", std::to_string(config.com));
    sim.settings.set("Auto", config.autoConnect ? "1" : "0");
    sim.settings.set("Speed", std::to_string(config.speed));
    sim.settings.set("AppPath9", config.playerPath ? kPlayer : "");
    sim.files.putFile("/opt/zintor/KeyMap.xml", kKeyMaps);
    sim.board.setInstalled(config.board);
    program = std::make_unique<Program>(sim.ports());
    invariants = std::make_unique<Invariants>(sim, *program);
    program->link().onLinkEnded([this] { invariants->linkEnded(); });
    apply(Event{0, Act::Player, {}, config.player, 0, {}});
    apply(Event{0, Act::Mixer, {}, config.mixer, 0, {}});
    playlist(config.playlist, config.current);
}

World::~World() = default;

void World::playlist(int entries, int current) {
    std::vector<std::string> list;
    list.reserve(static_cast<std::size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        list.push_back(i == 0   ? "/music/x\r\nATD5551234;.mp3"
                       : i == 1 ? "/music/Caf\xC3\xA9 \"q\" \xE2\x82\xAC.mp3"
                                : "/music/t" + std::to_string(i) + ".mp3");
    }
    sim.player.setPlaylist(std::move(list), current);
    invariants->playlistSize(entries);
}

void World::phoneSends(const std::string& text) {
    if (sim.phone.silent()) {
        return;  // a rebooting phone sends nothing
    }
    if (sim.serial().phoneConnected()) {
        invariants->delivered(text);
    }
    sim.phone.send(text);
}

void World::exit() {
    if (!sim.desktop.trayShown()) {
        return;
    }
    invariants->exitStarts();
    sim.desktop.listener()->exitClicked();
    invariants->exitDone();
}

void World::apply(const Event& e) {
    DesktopEvents* user = sim.desktop.trayShown() ? sim.desktop.listener() : nullptr;
    if (e.act != Act::PhoneSends && e.act != Act::KeyPress && e.act != Act::KeyRelease &&
        e.act != Act::PhoneBack && e.act != Act::ExpectRelinked) {
        invariants->disturbed();
    }
    switch (e.act) {
        case Act::PhoneSends: {
            std::size_t from = 0;
            for (std::size_t i = 0; i <= e.points.size(); ++i) {
                const std::size_t to = i < e.points.size() ? e.points[i] : e.text.size();
                const std::string piece = e.text.substr(from, to - from);
                from = to;
                sim.loop.scheduleIn(static_cast<std::int64_t>(i) * e.a,
                                    [this, piece] { phoneSends(piece); });
            }
            break;
        }
        case Act::KeyPress:
            phoneSends("+CKEV: " + e.text + ",1\r\n");
            break;
        case Act::KeyRelease:
            phoneSends("+CKEV: " + e.text + ",0\r\n");
            break;
        case Act::Ring:
            sim.phone.ring();
            break;
        case Act::Break:
            sim.phone.sendBreak();
            break;
        case Act::HangUp:
            sim.phone.hangUp();
            break;
        case Act::ModemLines:
            sim.phone.ctsChange();
            sim.phone.dsrChange();
            break;
        case Act::Reboot:  // after disturbed(): this reboot's relink is checked
            invariants->rebootStarts();
            sim.phone.setSilent(true);
            sim.phone.clearRules();
            sim.phone.setEcho(false);
            sim.phone.setAnswerDelay(20);
            break;
        case Act::PhoneBack:
            sim.phone.setSilent(false);
            invariants->phoneBack();
            break;
        case Act::ExpectRelinked:
            invariants->expectRelinked();
            break;
        case Act::Echo:
            sim.phone.setEcho(e.a != 0);
            break;
        case Act::Rule: {
            PhoneRule& rule = e.a == 3         ? sim.phone.on("AT+cgmm").reply("K750i")
                              : e.text == "AT" ? sim.phone.on("AT")
                                               : sim.phone.onPrefix(e.text);
            if (e.a == 0) {
                rule.after(e.b);
            } else if (e.a == 1) {
                rule.error();
            } else if (e.a == 2) {
                rule.nothing();
            }
            rule.times(1 + e.b % 3);
            break;
        }
        case Act::AnswerDelay:
            sim.phone.setAnswerDelay(e.a);
            break;
        case Act::ConnectClick:
            user ? user->connectClicked() : void();
            break;
        case Act::AutoConnectClick:
            user ? user->autoConnectClicked() : void();
            break;
        case Act::PortChoice:
            user ? user->portChosen(e.a) : void();
            break;
        case Act::Settings:
            sim.desktop.setSettingsEditor([a = e.a](SettingsForm form) {
                if (a == 0) {
                    form.appPath[9] = form.appPath[9].empty() ? kPlayer : "";
                } else if (a == 1) {
                    form.autoConnect = 1 - form.autoConnect;
                } else if (a == 2) {
                    form.appName[0] = "Caf\xC3\xA9 \"x\"\r\nATD3;";
                    form.appPath[0] = "/usr/bin/true";
                }
                return form;
            });
            user ? user->settingsClicked() : void();
            break;
        case Act::MouseSpeed:
            user ? user->mouseSpeedChanged(e.a) : void();
            break;
        case Act::Exit:
            exit();
            break;
        case Act::CloseHelp:
            sim.desktop.userClosesKeyHelp();
            break;
        case Act::CloseNotice:
            sim.desktop.userClosesNotice();
            break;
        case Act::Player:
            sim.player.setRunning(e.a != 2);
            sim.player.setHung(e.a == 1);
            break;
        case Act::Playlist:
            playlist(e.a, e.b);
            break;
        case Act::Mixer:
            sim.mixer.failOpen(e.a == 0);
            sim.mixer.failFind(e.a == 0);
            sim.mixer.failSet(e.a == 0);
            break;
        case Act::Board:
            sim.board.setOpenResult(e.a != 0 ? 0 : -1);
            break;
        case Act::PortsChange: {
            auto ports = sim.registry.listPorts();
            std::erase_if(ports, [](const RegisteredPort& p) { return p.portText == "COM7"; });
            if (e.a != 0) {
                ports.push_back({"\\Device\\Serial6", "COM7"});
            }
            sim.registry.setPorts(ports);
            sim.registry.changed();
        } break;
    }
}

}  // namespace zintor::faultsim
