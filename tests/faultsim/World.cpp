#include "World.h"

#include <cstdio>
#include <utility>

#include "core/link/Link.h"

namespace zintor::faultsim {
namespace {

std::string keyEntry(const std::string& key, const std::string& type, const std::string& command) {
    return "<" + key + "><COMMAND_ID>1</COMMAND_ID><COMMAND_TYPE>" + type +
           "</COMMAND_TYPE><COMMAND>" + command + "</COMMAND>";
}

// Three key maps: every command type, hold loops on "5" (repeat), "u"/"d" (mixer) and "0"
// (player volume); names from data that must not break a phone line.
const std::string kKeyMaps =
    "<KEYMAP><KEYMAP_NAME>Desk \"top\" Caf\xC3\xA9\r\nATD1;</KEYMAP_NAME>" +
    keyEntry("KEY_1", "KEY DOWN", "CONTROL") + keyEntry("KEY_2", "KEY UP", "CONTROL") +
    keyEntry("KEY_3", "KEY", "ab") + keyEntry("KEY_4", "MOUSE", "LEFT") +
    keyEntry("KEY_5", "SPECIAL KEY", "RETURN") + keyEntry("KEY_6", "MOUSE", "RIGHT") +
    keyEntry("KEY_7", "MOUSE", "LEFT HOLD") + keyEntry("KEY_8", "INPUT", "") +
    keyEntry("KEY_9", "WAIT", "300") +
    "<COMMAND_ID>2</COMMAND_ID><COMMAND_TYPE>KEY</COMMAND_TYPE><COMMAND>x</COMMAND>" +
    keyEntry("KEY_0", "WINAMP", "VOLUME UP") + keyEntry("KEY_VOLUME_UP", "VOLUME", "MASTER UP") +
    keyEntry("KEY_VOLUME_DOWN", "VOLUME", "MASTER DOWN") +
    keyEntry("KEY_WAP", "WINAMP", "NEXT TRACK") + keyEntry("KEY_CAMERA", "WINAMP", "CLOSE") +
    "<KEYMAP><KEYMAP_NAME>Media \xE2\x82\xAC</KEYMAP_NAME>" + keyEntry("KEY_1", "WINAMP", "PLAY") +
    keyEntry("KEY_2", "WINAMP", "STOP") + keyEntry("KEY_3", "WINAMP", "START") +
    keyEntry("KEY_4", "WINAMP", "TIME") + keyEntry("KEY_5", "SPECIAL KEY", "RETURN") +
    keyEntry("KEY_0", "WINAMP", "VOLUME DOWN") + keyEntry("KEY_VOLUME_UP", "VOLUME", "MASTER UP") +
    "<KEYMAP><KEYMAP_NAME>Empty</KEYMAP_NAME>"
    "<USB_DIGITAL_OUT_1><NAME_ON>Lamp \"on\"\r\nATD2;</NAME_ON><NAME_OFF>off</NAME_OFF>";

const char* const kPlayerPath = "/usr/bin/audacious";

DesktopEvents* user(World& w) {  // clicks land nowhere once the tray icon is gone
    return w.sim.desktop.trayShown() ? w.sim.desktop.listener() : nullptr;
}

void phoneSends(World& w, const std::string& text) {  // a rebooting phone sends nothing
    w.phone().silent() ? void() : w.phone().send(text);
}

void phoneSendsCut(World& w, const Event& e) {
    std::size_t from = 0;
    for (std::size_t i = 0; i <= e.points.size(); ++i) {
        const std::size_t to = i < e.points.size() ? e.points[i] : e.text.size();
        w.sim.loop.scheduleIn(
            static_cast<std::int64_t>(i) * e.a,
            [&w, piece = e.text.substr(from, to - from)] { phoneSends(w, piece); });
        from = to;
    }
}

void addRule(World& w, const Event& e) {
    SimPhone& phone = w.phone();
    PhoneRule& rule = e.a == 3         ? phone.on("AT+cgmm").reply("K750i")
                      : e.text == "AT" ? phone.on("AT")
                                       : phone.onPrefix(e.text);
    const std::string ok = "\r\nOK\r\n";
    e.a == 0   ? void(rule.after(e.b))
    : e.a == 1 ? void(rule.error())
    : e.a == 2 ? void(rule.nothing())
    : e.a == 4 ? void(rule.replyRaw("\r\n+CME ERROR: 3\r\n"))
    : e.a == 5 ? void(rule.replyRaw("\r\n" + e.more + ok))  // a stray line before the answer
    : e.a == 6 ? void(rule.replyRaw(e.more + ok))
    : e.a == 7 ? void(rule.replyRaw(ok + e.more))
    : e.a == 8 ? void(rule.then([&phone] { phone.setEcho(!phone.echo()); }))
               : void();
    rule.times(1 + e.b % 3);
}

void changeSettings(World& w, const Event& e) {  // a: what the user changes, b: for how long
    w.sim.desktop.setModalTime(e.b);
    w.sim.desktop.setSettingsEditor([what = e.a](SettingsForm form) {
        form.appPath[9] =
            what == 0 ? (form.appPath[9].empty() ? kPlayerPath : "") : form.appPath[9];
        form.autoConnect = what == 1 ? !form.autoConnect : form.autoConnect;
        form.appName[0] = what == 2 ? "Caf\xC3\xA9 \"x\"\r\nATD3;" : form.appName[0];
        form.appPath[0] = what == 2 ? "/usr/bin/true" : form.appPath[0];
        return form;
    });
    user(w) ? user(w)->settingsClicked() : void();
}

void changePorts(World& w, const Event& e) {
    auto ports = w.sim.registry.listPorts();
    std::erase_if(ports, [](const RegisteredPort& p) { return p.number == 7; });
    e.a != 0 ? ports.push_back({7, PortKind::kCable, "\\Device\\Serial6"}) : void();
    w.sim.registry.setPorts(ports);
    w.sim.registry.changed();
}

}  // namespace

const Act kPhoneSends{"phone sends \"%s\"", phoneSendsCut};
const Act kKeyPress{"key %s pressed",
                    [](auto& w, auto& e) { phoneSends(w, "+CKEV: " + e.text + ",1\r\n"); }};
const Act kKeyRelease{"key %s released",
                      [](auto& w, auto& e) { phoneSends(w, "+CKEV: " + e.text + ",0\r\n"); }};
const Act kRing{"phone rings", [](auto& w, auto&) { w.phone().ring(); }};
const Act kBreak{"phone sends a break", [](auto& w, auto&) { w.phone().sendBreak(); }};
const Act kHangUp{"phone hangs up (device gone)", [](auto& w, auto&) { w.phone().hangUp(); }};
const Act kModemLines{"CTS and DSR change",
                      [](auto& w, auto&) { w.phone().ctsChange(), w.phone().dsrChange(); }};
const Act kReboot{"phone reboots: silent, its quirks gone", [](auto& w, auto&) {
                      w.rebootStarts();
                      w.phone().setSilent(true), w.phone().clearRules(), w.phone().setEcho(false);
                      w.phone().setAnswerDelay(20);
                  }};
const Act kPhoneBack{"phone answers again, first sending \"%m\"", [](auto& w, auto& e) {
                         w.phone().setSilent(false), w.phoneBackAt = std::ssize(w.phone().lines());
                         phoneSends(w, e.more);
                     }};
const Act kExpectRelinked{"check: link rebuilt by the supervision",
                          [](auto& w, auto&) { w.expectRelinked(); }};
const Act kEcho{"phone echo on (1) or off (0): %a",
                [](auto& w, auto& e) { w.phone().setEcho(e.a != 0); }};
const Act kRule{"phone answers \"%s...\" %a", addRule};
const Act kAnswerDelay{"phone answers after %a ms",
                       [](auto& w, auto& e) { w.phone().setAnswerDelay(e.a); }};
const Act kConnectClick{"user clicks Connect/Disconnect",
                        [](auto& w, auto&) { user(w) ? user(w)->connectClicked() : void(); }};
const Act kAutoConnectClick{"user clicks AutoConnect", [](auto& w, auto&) {
                                user(w) ? user(w)->autoConnectClicked() : void();
                            }};
const Act kPortChoice{"user chooses port item %a",
                      [](auto& w, auto& e) { user(w) ? user(w)->portChosen(e.a) : void(); }};
const Act kSettings{
    "settings open %b ms, closed: player path (0), AutoConnect (1), odd name (2), nothing (3) "
    "changed: %a",
    changeSettings};
const Act kMouseSpeed{"mouse speed %a",
                      [](auto& w, auto& e) { user(w) ? user(w)->mouseSpeedChanged(e.a) : void(); }};
const Act kExit{"user clicks Exit", [](auto& w, auto&) { w.exit(); }};
const Act kCloseHelp{"user closes the key help",
                     [](auto& w, auto&) { w.sim.desktop.userClosesKeyHelp(); }};
const Act kCloseNotice{"user closes the key-map notice",
                       [](auto& w, auto&) { w.sim.desktop.userClosesNotice(); }};
const Act kPlayer{"player running (0), hung (1), closed (2): %a", [](auto& w, auto& e) {
                      w.sim.player.setRunning(e.a != 2), w.sim.player.setHung(e.a == 1);
                  }};
const Act kPlaylist{"playlist of %a entries, current %b",
                    [](auto& w, auto& e) { w.playlist(e.a, e.b); }};
const Act kMixer{"mixer there (1) or gone (0): %a", [](auto& w, auto& e) {
                     w.sim.mixer.failOpen(e.a == 0), w.sim.mixer.failFind(e.a == 0),
                         w.sim.mixer.failSet(e.a == 0);
                 }};
const Act kBoard{"board there (1) or gone (0): %a",
                 [](auto& w, auto& e) { w.sim.board.setOpenResult(e.a != 0 ? 0 : -1); }};
const Act kPortsChange{"COM7 plugged in (1) or unplugged (0): %a", changePorts};

std::string describe(const Event& e) {
    const char* const kRules[] = {"late (%b ms)",
                                  "with ERROR",
                                  "nothing",
                                  "as another model",
                                  "with +CME ERROR: 3",
                                  "behind the stray line \"%m\"",
                                  "with \"%m\" before its OK",
                                  "with \"%m\" after its OK",
                                  "and then switches its echo"};
    const auto escaped = [](const std::string& bytes) {  // \r, \n and \xNN
        std::string text;
        for (unsigned char c : bytes.substr(0, 80)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\x%02X", c);
            text += c < 0x20 || c >= 0x7F || c == '"' || c == '\\' ? hex : std::string(1, char(c));
        }
        return text + (bytes.size() > 80 ? "...(" + std::to_string(bytes.size()) + " bytes)" : "");
    };
    std::string what = e.act->what;
    for (std::size_t i = 0; i < e.points.size(); ++i) {
        what += (i == 0 ? " cut at " : ",") + std::to_string(e.points[i]) +
                (i + 1 == e.points.size() ? " (%a ms apart)" : "");
    }
    for (const auto& [key, value] : {std::pair<std::string, std::string>{
                                         "%a", e.act == &kRule ? kRules[e.a] : std::to_string(e.a)},
                                     {"%s", escaped(e.text)},
                                     {"%m", escaped(e.more)},
                                     {"%b", std::to_string(e.b)}}) {
        if (const std::size_t at = what.find(key); at != std::string::npos) {
            what.replace(at, 2, value);
        }
    }
    char time[32];
    std::snprintf(time, sizeof time, "%8.3f s  ", static_cast<double>(e.atMs) / 1000.0);
    return time + what;
}

World::World(const Schedule& s) {
    sim.loop.setMaxSteps(20'000'000);
    sim.registry.add("\\Device\\Serial0", "COM1");
    sim.registry.add("\\Device\\Serial2", "COM3");
    sim.registry.add("\\Device\\Serial4", "COM5");
    sim.serial().setPhonePort(3);
    sim.serial().setTakeTap([this](std::string_view bytes) { taken(bytes); });
    sim.settings.set("Com", std::to_string(s.com));
    sim.settings.set("Auto", s.autoConnect ? "1" : "0");
    sim.settings.set("Speed", std::to_string(s.speed));
    sim.settings.set("AppPath9", s.playerPath ? kPlayerPath : "");
    sim.files.putFile("/opt/zintor/KeyMap.xml", kKeyMaps);
    sim.board.setInstalled(s.board);
    program = std::make_unique<Program>(sim.ports());
    program->link().connection.onLinkEnded([this] { linkEnded(); });
    program->onExitRequested = [this] { shutdownEnded(); };
    apply(Event{0, &kPlayer, {}, s.player, 0, {}, {}});
    apply(Event{0, &kMixer, {}, s.mixer, 0, {}, {}});
    playlist(s.playlist, s.current);
}

void World::playlist(int entries, int current) {
    std::vector<std::string> list;  // names from data that must not break a phone line
    for (int i = 0; i < entries; ++i) {
        list.push_back(i == 0   ? "/music/x\r\nATD5551234;.mp3"
                       : i == 1 ? "/music/Caf\xC3\xA9 \"q\" \xE2\x82\xAC.mp3"
                                : "/music/t" + std::to_string(i) + ".mp3");
    }
    sim.player.setPlaylist(std::move(list), current);
    largestPlaylist_ = std::max(largestPlaylist_, entries);
}

void World::apply(const Event& e) {
    const Act* const quiet[] = {&kPhoneSends, &kKeyPress,  &kKeyRelease,
                                &kReboot,     &kPhoneBack, &kExpectRelinked};
    const bool acts = std::find(std::begin(quiet), std::end(quiet), e.act) == std::end(quiet);
    const Act* const clicks[] = {&kConnectClick, &kAutoConnectClick, &kPortChoice,
                                 &kSettings,     &kMouseSpeed,       &kExit,
                                 &kCloseHelp,    &kCloseNotice,      &kPortsChange};
    const bool click = std::ranges::find(clicks, e.act) != std::end(clicks);
    if (sim.loop.inAdapterLoop() && click) {
        // A modal window is open: the user gets to the tray, and the world changes, once it is
        // closed (the phone goes on meanwhile).
        ++deferred_;
        sim.loop.scheduleIn(100, [this, &e] { --deferred_, apply(e); });
        return;
    }
    // Whatever may end or change the link: the shutdown owes the phone no goodbye, and no relink
    // is owed for a reboot.
    lastActAt_ = click ? sim.loop.now() : lastActAt_;
    connectedAtExit_ = connectedAtExit_ && !acts;
    relinkDue_ = relinkDue_ && !acts;
    e.act->apply(*this, e);
}

}  // namespace zintor::faultsim
