#include "World.h"

#include <cstdio>

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

DesktopEvents* User(World& w) {
    return w.sim.desktop.trayShown() ? w.sim.desktop.listener() : nullptr;
}

void PhoneSends(World& w, const std::string& text) {
    if (!w.sim.phone.silent()) {  // a rebooting phone sends nothing
        w.sim.phone.send(text);
    }
}

void AddRule(World& w, const Event& e) {
    PhoneRule& rule = e.a == 3         ? w.sim.phone.on("AT+cgmm").reply("K750i")
                      : e.text == "AT" ? w.sim.phone.on("AT")
                                       : w.sim.phone.onPrefix(e.text);
    if (e.a == 0) {
        rule.after(e.b);
    } else if (e.a == 1) {
        rule.error();
    } else if (e.a == 2) {
        rule.nothing();
    }
    rule.times(1 + e.b % 3);
}

SettingsForm EditSettings(SettingsForm form, int what) {
    if (what == 0) {
        form.appPath[9] = form.appPath[9].empty() ? kPlayer : "";
    } else if (what == 1) {
        form.autoConnect = 1 - form.autoConnect;
    } else if (what == 2) {
        form.appName[0] = "Caf\xC3\xA9 \"x\"\r\nATD3;";
        form.appPath[0] = "/usr/bin/true";
    }
    return form;
}

void ChangePorts(World& w, bool plugged) {
    auto ports = w.sim.registry.listPorts();
    std::erase_if(ports, [](const RegisteredPort& p) { return p.portText == "COM7"; });
    if (plugged) {
        ports.push_back({"\\Device\\Serial6", "COM7"});
    }
    w.sim.registry.setPorts(ports);
    w.sim.registry.changed();
}

// By Act: what a replay prints ("%s" the event's text, "%a" and "%b" its numbers) and what it does.
struct ActInfo {
    const char* what;
    void (*apply)(World&, const Event&);
};
const ActInfo kActs[] = {
    {"phone sends \"%s\"",
     [](World& w, const Event& e) {
         std::size_t from = 0;
         for (std::size_t i = 0; i <= e.points.size(); ++i) {
             const std::size_t to = i < e.points.size() ? e.points[i] : e.text.size();
             w.sim.loop.scheduleIn(
                 static_cast<std::int64_t>(i) * e.a,
                 [&w, piece = e.text.substr(from, to - from)] { PhoneSends(w, piece); });
             from = to;
         }
     }},
    {"phone key %s pressed",
     [](World& w, const Event& e) { PhoneSends(w, "+CKEV: " + e.text + ",1\r\n"); }},
    {"phone key %s released",
     [](World& w, const Event& e) { PhoneSends(w, "+CKEV: " + e.text + ",0\r\n"); }},
    {"phone rings", [](World& w, const Event&) { w.sim.phone.ring(); }},
    {"phone sends a break", [](World& w, const Event&) { w.sim.phone.sendBreak(); }},
    {"phone hangs up (device gone)", [](World& w, const Event&) { w.sim.phone.hangUp(); }},
    {"CTS and DSR change",
     [](World& w, const Event&) {
         w.sim.phone.ctsChange();
         w.sim.phone.dsrChange();
     }},
    {"phone reboots: silent, its quirks gone",
     [](World& w, const Event&) {
         w.invariants->rebootStarts();
         w.sim.phone.setSilent(true);
         w.sim.phone.clearRules();
         w.sim.phone.setEcho(false);
         w.sim.phone.setAnswerDelay(20);
     }},
    {"phone answers again",
     [](World& w, const Event&) {
         w.sim.phone.setSilent(false);
         w.invariants->phoneBack();
     }},
    {"check: link rebuilt by the supervision",
     [](World& w, const Event&) { w.invariants->expectRelinked(); }},
    {"phone echo on (1) or off (0): %a",
     [](World& w, const Event& e) { w.sim.phone.setEcho(e.a != 0); }},
    {"phone answers \"%s...\": %r", AddRule},
    {"phone answers after %a ms",
     [](World& w, const Event& e) { w.sim.phone.setAnswerDelay(e.a); }},
    {"user clicks Connect/Disconnect",
     [](World& w, const Event&) { User(w) ? User(w)->connectClicked() : void(); }},
    {"user clicks AutoConnect",
     [](World& w, const Event&) { User(w) ? User(w)->autoConnectClicked() : void(); }},
    {"user chooses port menu item %a",
     [](World& w, const Event& e) { User(w) ? User(w)->portChosen(e.a) : void(); }},
    {"settings window closed: %r",
     [](World& w, const Event& e) {
         w.sim.desktop.setSettingsEditor([a = e.a](SettingsForm f) { return EditSettings(f, a); });
         User(w) ? User(w)->settingsClicked() : void();
     }},
    {"mouse speed %a",
     [](World& w, const Event& e) { User(w) ? User(w)->mouseSpeedChanged(e.a) : void(); }},
    {"user clicks Exit", [](World& w, const Event&) { w.exit(); }},
    {"user closes the key help", [](World& w, const Event&) { w.sim.desktop.userClosesKeyHelp(); }},
    {"user closes the key-map notice",
     [](World& w, const Event&) { w.sim.desktop.userClosesNotice(); }},
    {"player running (0), hung (1) or closed (2): %a",
     [](World& w, const Event& e) {
         w.sim.player.setRunning(e.a != 2);
         w.sim.player.setHung(e.a == 1);
     }},
    {"playlist of %a entries, current %b", [](World& w, const Event& e) { w.playlist(e.a, e.b); }},
    {"mixer there (1) or gone (0): %a",
     [](World& w, const Event& e) {
         w.sim.mixer.failOpen(e.a == 0);
         w.sim.mixer.failFind(e.a == 0);
         w.sim.mixer.failSet(e.a == 0);
     }},
    {"board there (1) or gone (0): %a",
     [](World& w, const Event& e) { w.sim.board.setOpenResult(e.a != 0 ? 0 : -1); }},
    {"COM7 plugged in (1) or unplugged (0): %a",
     [](World& w, const Event& e) { ChangePorts(w, e.a != 0); }},
};

std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text.substr(0, 80)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c == '\r'                                        ? "\\r"
               : c == '\n'                                      ? "\\n"
               : c < 0x20 || c >= 0x7F || c == '"' || c == '\\' ? hex
                                                                : std::string(1, char(c));
    }
    return text.size() > 80 ? out + "...(" + std::to_string(text.size()) + " bytes)" : out;
}

}  // namespace

std::string Describe(const Event& e) {
    static const char* const kRules[] = {"late, %b ms", "ERROR", "no answer", "another model"};
    static const char* const kSettings[] = {"player path toggled", "AutoConnect toggled",
                                            "odd application name", "nothing changed"};
    std::string what = kActs[static_cast<int>(e.act)].what;
    for (std::size_t i = 0; i < e.points.size(); ++i) {
        what += (i == 0 ? " cut at " : ",") + std::to_string(e.points[i]);
    }
    what += e.points.empty() ? "" : " (%a ms apart)";
    const std::string replacements[][2] = {
        {"%r", e.act == Act::Rule ? kRules[e.a] : kSettings[e.a % 4]},
        {"%s", Escaped(e.text)},
        {"%a", std::to_string(e.a)},
        {"%b", std::to_string(e.b)}};
    for (const auto& [key, value] : replacements) {
        if (const std::size_t at = what.find(key); at != std::string::npos) {
            what.replace(at, 2, value);
        }
    }
    char time[32];
    std::snprintf(time, sizeof time, "%8.3f s  ", static_cast<double>(e.atMs) / 1000.0);
    return time + what;
}

World::World(const Schedule& s) {
    sim.loop.setMaxDepth(kMaxDepth);
    sim.loop.setMaxSteps(20'000'000);
    sim.registry.add("\\Device\\Serial0", "COM1");
    sim.registry.add("\\Device\\Serial2", "COM3");
    sim.registry.add("\\Device\\Serial4", "COM5");
    sim.serial().setPhonePort(3);
    sim.settings.set("Com", std::to_string(s.com));
    sim.settings.set("Auto", s.autoConnect ? "1" : "0");
    sim.settings.set("Speed", std::to_string(s.speed));
    sim.settings.set("AppPath9", s.playerPath ? kPlayer : "");
    sim.files.putFile("/opt/zintor/KeyMap.xml", kKeyMaps);
    sim.board.setInstalled(s.board);
    program = std::make_unique<Program>(sim.ports());
    invariants = std::make_unique<Invariants>(sim, *program);
    sim.serial().setDeliveryTap([this](std::string_view bytes) { invariants->delivered(bytes); });
    program->link().onLinkEnded([this] { invariants->linkEnded(); });
    apply(Event{0, Act::Player, {}, s.player, 0, {}});
    apply(Event{0, Act::Mixer, {}, s.mixer, 0, {}});
    playlist(s.playlist, s.current);
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

void World::exit() {
    if (!sim.desktop.trayShown()) {
        return;
    }
    const bool first = invariants->exitStarts();
    sim.desktop.listener()->exitClicked();
    if (first) {
        invariants->exitDone();
    }
}

void World::apply(const Event& e) {
    // Whatever may end or change the link, while it runs (a click may wait, nested, for long).
    const bool acts =
        e.act > Act::ExpectRelinked || (e.act > Act::KeyRelease && e.act < Act::Reboot);
    if (acts) {
        invariants->acting(false);
    }
    kActs[static_cast<int>(e.act)].apply(*this, e);
    if (acts) {
        invariants->acting(true);
    }
}

}  // namespace zintor::faultsim
