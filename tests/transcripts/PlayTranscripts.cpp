// Plays phone conversations kept as transcripts against the whole program on the simulated world
// and compares what happened with what the transcript says. Usage: zintor_transcripts FILE...
//
// One event per line with its virtual time in ms, or several separated by " | " (one without a
// time happens at the time of the one before):
//   1000 < *EAMI: 1           the phone sends this line (CR LF added)
//   1010 > AT+CMER=3,2,0,0,0  the program sends this line to the phone
//   1500 ! hangup             something the world or the user does then (see setUp())
//   1010 key press 88         what the program did on the PC, by channel: key (keyboard and mouse;
//                             cursor moves as steps), desk (tray, windows, notices), vol, player,
//                             board, run (programs started), diag (standard error), and when
//                             watched: log, set (settings written, flushed), port, query (player
//                             queries), frame (tray icon), rows (key help), phone (what a
//                             touch-screen phone shows beyond the accessory commands)
//   1010..1305 key cursor -1,0 x60   three or more equal events in a row, first and last time
//   ...                       any number of events
// Lines without a time set the world up before the start ("keymap NAME", "key 5 KEY=x; WAIT=100",
// "set Com=3 | answer AT+cgmm = reply T610", ...). \r \n \xNN stand for bytes. Everything that
// happens until the last time in the transcript must be in it, in order.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/program/Program.h"
#include "core/settings/Twips.h"
#include "platform/sim/SimWorld.h"

namespace zintor {
namespace {

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? ""
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::pair<std::string, std::string> split(const std::string& text, const std::string& at) {
    const auto cut = text.find(at);
    return cut == std::string::npos
               ? std::pair{trim(text), std::string()}
               : std::pair{trim(text.substr(0, cut)), trim(text.substr(cut + at.size()))};
}

// \r \n \t \\ and \xNN in the transcript stand for those bytes.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
        } else if (const char c = text[++i]; c == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return out;
}

std::string escape(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        if (c == '\\' || c < 0x20 || c >= 0x7f) {
            out += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\\' ? "\\\\" : hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Events of one moment come in no order the user could tell: within a run of events with the
// same time, what the phone or the user did comes first, then the program's events in channel
// order, each channel's own events staying in their order. `event(i)` gives the time and the
// text of entry i.
template <class Entries, class Event>
void canonical(Entries& entries, Event event) {
    static const std::vector<std::string> kChannels{
        "<",     "!",     "key", "desk", "frame", "rows", "vol", "player",
        "query", "board", "run", "diag", "set",   "port", "log", ">"};
    const auto rank = [](const std::string& text) {
        const std::string channel = text.substr(0, text.find(' '));
        const auto found = std::find(kChannels.begin(), kChannels.end(), channel);
        return found == kChannels.end() ? -1 : static_cast<int>(found - kChannels.begin());
    };
    const auto ranked = [&](const auto& entry) {
        const auto [time, text] = event(entry);
        return time.find("..") == std::string::npos ? rank(text) : -1;
    };
    for (std::size_t from = 0, to = 0; from < entries.size(); from = to) {
        to = from + 1;
        if (ranked(entries[from]) < 0) {
            continue;
        }
        while (to < entries.size() && ranked(entries[to]) >= 0 &&
               event(entries[to]).first == event(entries[from]).first) {
            ++to;
        }
        std::stable_sort(entries.begin() + static_cast<std::ptrdiff_t>(from),
                         entries.begin() + static_cast<std::ptrdiff_t>(to),
                         [&](const auto& a, const auto& b) { return ranked(a) < ranked(b); });
    }
}

class Player {
  public:
    bool play(const std::string& path);

  private:
    void act(const std::string& line);
    void setUp(const std::string& name, const std::string& args);
    void start();
    void poll();
    void note(std::int64_t at, const std::string& channel, const std::string& text);

    SimWorld world;
    std::unique_ptr<Program> program;
    std::vector<std::pair<std::int64_t, std::string>> log;  // time; channel, blank, what
    std::set<std::string> watched{">", "key", "desk", "vol", "board", "run", "diag", "player"};
    std::string keyMap;
    std::int64_t end = 0;
    std::map<std::string, std::size_t> seen, logSeen;  // how many calls, log bytes were noted
    int cursorX = 0, cursorY = 0;
    int flushes = 0;  // of the settings
};

// Calls of one fake that have not been noted yet.
template <typename List>
auto fresh(std::map<std::string, std::size_t>& seen, const std::string& name, const List& list) {
    std::size_t& from = seen[name];
    List out(list.begin() + static_cast<std::ptrdiff_t>(from), list.end());
    from = list.size();
    return out;
}

void Player::note(std::int64_t at, const std::string& channel, const std::string& text) {
    if (watched.count(channel) != 0 && at <= end) {
        log.emplace_back(at, text.empty() ? channel : channel + " " + escape(text));
    }
}

void Player::start() {
    keyMap.empty() ? void() : world.files.putFile("/opt/zintor/KeyMap.xml", keyMap);
    program = std::make_unique<Program>(world.ports());
    program->onExitRequested = [this] {
        poll();
        note(world.loop.now(), "desk", "exit requested");
    };
    program->startup();
}

void Player::poll() {
    const std::int64_t now = world.loop.now();
    for (const auto& line : fresh(seen, ">", world.phone.lines())) {
        note(line.atMs, ">", line.text);
    }
    for (const auto& call : fresh(seen, "key", world.input.timedCalls())) {
        int x = 0, y = 0;
        if (std::sscanf(call.text.c_str(), "cursor %d,%d", &x, &y) == 2) {
            note(call.atMs, "key",
                 "cursor " + std::to_string(x - cursorX) + "," + std::to_string(y - cursorY));
            cursorX = x, cursorY = y;
        } else {
            note(call.atMs, "key", call.text);
        }
    }
    for (const auto& call : fresh(seen, "desk", world.desktop.calls())) {
        call.starts_with("frame ") ? note(now, "frame", call.substr(6)) : note(now, "desk", call);
        for (const KeyHelpRow& row : world.desktop.keyHelpRows()) {
            call.starts_with("showKeyHelp") && !row.function.empty()
                ? note(now, "rows", row.key + ": " + row.function)
                : void();
        }
    }
    for (auto value : fresh(seen, "vol", world.mixer.sets())) {
        note(now, "vol", std::to_string(value));
    }
    // The player's commands and starts; what the program reads of it (and its jumps) are queries.
    static const std::set<std::string> kCommands{
        "play",      "pause",       "stop",  "next",         "previous",
        "volume up", "volume down", "close", "show elapsed", "show remaining"};
    for (const auto& call : fresh(seen, "player", world.player.calls())) {
        const bool action = kCommands.count(call) != 0 || call.starts_with("start");
        note(now, action ? "player" : "query", call);
    }
    const auto noteAll = [&](const std::string& channel, const std::vector<std::string>& list) {
        for (const auto& text : fresh(seen, channel, list)) {
            note(now, channel, text);
        }
    };
    noteAll("board", world.board.calls());
    noteAll("phone", world.extras.calls());
    noteAll("run", world.launcher.calls());
    noteAll("diag", world.logSink.diagnostics());
    noteAll("set", world.settings.writes());
    for (; flushes < world.settings.flushCount(); ++flushes) {
        note(now, "set", "flush");
    }
    for (const auto& entry : fresh(seen, "port", world.serial().history())) {
        entry.starts_with("open") || entry == "close" ? note(now, "port", entry) : void();
    }
    // The diagnostic log's messages, without date and time.
    const std::string folder = world.files.folder(KnownFolder::kLog) + "/";
    for (const auto& [name, contents] : world.files.files()) {
        name.starts_with(folder) && logSeen.count(name) == 0 ? note(now, "log", "file " + name)
                                                             : void();
        std::size_t& from = logSeen[name];
        for (auto lineEnd = contents.find("\r\n", from);
             name.starts_with(folder) && lineEnd != std::string::npos;
             from = lineEnd + 2, lineEnd = contents.find("\r\n", from)) {
            const std::string line = contents.substr(from, lineEnd - from);
            note(now, "log", line.substr(line.find('\t', line.find('\t') + 1) + 1));
        }
    }
}

// What the world looks like and what the user does, by the names below.
void Player::setUp(const std::string& name, const std::string& rawArgs) {
    const std::string args = unescape(rawArgs);
    const auto [first, rest] = split(args, " ");
    const bool assignment = name == "set" || name == "port" || name == "manual-port";
    const auto [key, value] = split(args, assignment ? "=" : " = ");
    const int number =
        first.find_first_not_of("-0123456789") == std::string::npos ? std::atoi(first.c_str()) : 0;
    // The program's desktop listener: there once the program is made (not while setting up).
    const auto events = [this]() -> DesktopEvents& { return *world.desktop.listener(); };
    const auto touch = [this]() -> PhoneExtrasEvents& { return *world.extras.listener(); };
    const int second = rest.empty() ? 0 : std::atoi(rest.c_str());
    const auto pixels = [](int twips) { return twipsToPixels(twips); };
    SimPhone& phone = world.phone;
    ScriptedPlayer& player = world.player;
    SimSerialLink& serial = world.serial();
    const std::map<std::string, std::function<void()>> simple = {
        {"set", [&] { world.settings.set(key, value); }},
        {"port", [&] { world.registry.add(key, value); }},
        {"manual-port", [&] { world.registry.add(key, value, false); }},  // not tried by itself
        {"ports", [&] { world.registry.setPorts({}); }},
        {"plug", [&] { world.registry.changed(); }},
        {"phone-port", [&] { serial.setPhonePort(number); }},
        {"busy", [&] { serial.setBusy(number, true); }},
        {"link-takes", [&] { serial.setMakeMs(number); }},  // MS from each open until it is up
        {"silent", [&] { phone.setSilent(args == "on"); }},
        {"send", [&] { phone.send(args); }},  // bytes without a line end, sent now
        {"hangup", [&] { phone.hangUp(); }},
        {"ring", [&] { phone.ring(); }},
        {"break", [&] { phone.sendBreak(); }},
        {"cts", [&] { phone.ctsChange(); }},
        {"dsr", [&] { phone.dsrChange(); }},
        {"file", [&] { world.files.putFile(key, value); }},
        {"remove", [&] { world.files.remove(args); }},
        {"unreadable", [&] { world.files.setUnreadable(args); }},
        {"unwritable", [&] { world.files.setUnwritable(args); }},
        {"uncreatable", [&] { world.files.setUncreatable(args), world.files.remove(args); }},
        {"log-folder",
         [&] { world.files.setFolder(KnownFolder::kLog, args), world.files.remove(args); }},
        {"title", [&] { player.setTitle(number, rest); }},
        {"current-title", [&] { player.setCurrentTitle(args); }},
        {"position", [&] { player.setPositionMs(number); }},
        {"length", [&] { player.setLengthSeconds(number); }},
        // ok | fails | lost (started, never seen)
        {"player-start", [&] { player.setStartResult(args != "fails", args == "ok"); }},
        {"launch-fails", [&] { world.launcher.failWith(args); }},
        {"volume", [&] { world.mixer.setValue(static_cast<std::uint32_t>(number)); }},
        // window LEFT TOP: the main window's place in twips, as the settings file keeps it.
        {"window", [&] { world.desktop.setMainWindowPosition(pixels(number), pixels(second)); }},
        {"cannot-type", [&] { world.input.cannotType(args); }},  // CHARACTERS
        {"exit", [&] { events().exitClicked(); }},
        {"shutdown", [&] { program->shutdown(); }},
        {"shutdown-now", [&] { program->shutdownNow(); }},  // the session ends
        {"connect", [&] { events().connectClicked(); }},
        {"auto-connect", [&] { events().autoConnectClicked(); }},
        {"choose-port", [&] { events().portChosen(number); }},
        {"settings", [&] { events().settingsClicked(); }},
        {"speed", [&] { events().mouseSpeedChanged(number); }},
        {"refresh-ports", [&] { events().refreshPortsClicked(); }},
        {"list-ports", [&] { events().enumeratePortsClicked(); }},
        {"player-check", [&] { events().playerCheckClicked(); }},
        {"close-help", [&] { world.desktop.userClosesKeyHelp(); }},
        {"notice-stays", [&] { world.desktop.setNoticeClosesItself(false); }},
        // The touch-screen phone: touch-move DX DY, tap 1|2, scroll DX DY, drag down|up, type TEXT
        {"touch-move", [&] { touch().touchMoved(number, second); }},
        {"tap", [&] { touch().touchTapped(number == 2); }},
        {"scroll", [&] { touch().touchScrolled(number, second); }},
        {"drag", [&] { touch().touchHeld(args == "down"); }},
        {"type", [&] { touch().keyboardTyped(args); }},
        {"keymap", [&] { keyMap += "<KEYMAP><KEYMAP_NAME>" + args + "</KEYMAP_NAME>"; }},
        {"xml", [&] { keyMap += args; }},
        {"end", [] {}},
    };
    if (const auto found = simple.find(name); found != simple.end()) {
        found->second();
    } else if (name == "start") {
        start();
    } else if (name == "restart") {  // again on the same world, once the shutdown has ended
        program->shutdown([this] {
            world.loop.post([this] {
                program.reset();
                start();
            });
        });
    } else if (name == "key") {  // key N [help=TEXT;] TYPE=COMMAND; TYPE=COMMAND ...
        keyMap += "<KEY_" + first + ">";
        std::istringstream list(rest);
        int id = 0;
        for (std::string command; std::getline(list, command, ';');) {
            const auto [type, text] = split(command, "=");
            keyMap += type == "help"
                          ? "<HELP>" + text + "</HELP>"
                          : "<COMMAND_ID>" + std::to_string(++id) + "</COMMAND_ID><COMMAND_TYPE>" +
                                type + "</COMMAND_TYPE><COMMAND>" + text + "</COMMAND>";
        }
        keyMap += "</KEY_" + first + ">";
    } else if (name == "present" || name == "held") {  // held: another program has them open
        std::istringstream list(args);
        std::set<int> numbers(std::istream_iterator<int>(list), {});
        name == "present" ? serial.setPresentPorts(numbers) : world.registry.setHeld(numbers);
    } else if (name == "answer") {  // answer LINE = ok | error | nothing | reply TEXT | raw BYTES
        const auto [kind, text] = split(value, " ");
        PhoneRule& rule = phone.on(key);
        kind == "error"     ? rule.error()
        : kind == "nothing" ? rule.nothing()
        : kind == "reply"   ? rule.reply(text)
        : kind == "raw"     ? rule.replyRaw(text)
                            : rule.ok();
    } else if (name == "burst" || name == "garbage") {  // N times TEXT, or N bytes of any kind
        std::string bytes;
        for (int i = 0; i < number; ++i) {
            bytes += name == "burst" ? rest : std::string(1, static_cast<char>((i * 7919) % 256));
        }
        phone.send(bytes);
    } else if (name == "mp3") {  // mp3 PATH = TITLE|ARTIST: a file ending in an MP3 tag
        const auto [title, artist] = split(value, "|");
        std::string tag = "TAG" + title;
        tag.resize(33, ' ');
        tag += artist;
        tag.resize(128, '\0');
        world.files.putFile(key, std::string(200, 'x') + tag);
    } else if (name == "player") {  // running | gone | closing | stopped | playing | next
        args == "gone"      ? player.setRunning(false)
        : args == "closing" ? player.closeOnceFound()
        : args == "running" ? player.setRunning(true)
        : args == "next"    ? player.next()
        : args == "playing" ? player.setState(PlayState::kPlaying)
                            : player.setState(PlayState::kStopped);
    } else if (name == "playlist") {  // playlist N [@CURRENT] or playlist PATH|PATH [@CURRENT]
        const auto [entries, current] = split(args, "@");
        std::vector<std::string> paths;
        std::istringstream list(entries);
        for (std::string path; std::getline(list, path, '|');) {
            paths.push_back(trim(path));
        }
        if (paths.size() == 1 && paths[0].find_first_not_of("0123456789") == std::string::npos) {
            const int count = std::stoi(paths[0]);
            paths.clear();
            for (int i = 0; i < count; ++i) {
                paths.push_back("/music/Track " + std::to_string(i) + ".mp3");
            }
        }
        player.setPlaylist(paths, std::atoi(current.c_str()));
    } else if (name == "board") {  // none | open RESULT
        args == "none" ? world.board.setInstalled(false)
                       : world.board.setOpenResult(std::stoi(rest));
    } else if (name == "mixer-fails") {  // open | find | get, or "none" again
        world.mixer.failOpen(args == "open");
        world.mixer.failFind(args == "find");
        world.mixer.failGet(args == "get");
    } else if (name == "cursor") {  // cursor X Y, or cursor unreadable
        args == "unreadable" ? world.input.failGetCursor(true)
                             : world.input.placeCursor(number, std::stoi(rest));
        cursorX = world.input.cursorX(), cursorY = world.input.cursorY();
    } else if (name == "settings-edit") {  // auto=N nameI=TEXT pathI=TEXT ...
        world.desktop.setSettingsEditor([edits = args](const SettingsForm& shown) {
            SettingsForm form = shown;
            std::istringstream list(edits);
            for (std::string edit; list >> edit;) {
                const auto [field, text] = split(edit, "=");
                const auto slot = static_cast<std::size_t>(field.back() - '0');
                field == "auto"             ? void(form.autoConnect = std::stoi(text) == 1)
                : field.starts_with("name") ? void(form.appName[slot] = text)
                                            : void(form.appPath[slot] = text);
            }
            return form;
        });
    } else if (name == "watch" || name == "ignore") {
        std::istringstream list(args);
        for (std::string channel; list >> channel;) {
            name == "watch" ? void(watched.insert(channel)) : void(watched.erase(channel));
        }
    } else {
        throw std::runtime_error("unknown directive: " + name);
    }
}

// One line of the transcript, done at its time ("1000 < *EAMI: 1", "1000 ! hangup").
void Player::act(const std::string& line) {
    poll();
    log.emplace_back(world.loop.now(), line);  // as written
    if (line[0] == '<') {
        world.phone.send(unescape(trim(line.substr(1))) + "\r\n");
    } else {
        const auto [name, args] = split(trim(line.substr(1)), " ");
        setUp(name, args);
    }
}

bool Player::play(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::pair<int, std::string>> expected;  // line number, text
    int number = 0;
    for (std::string line; std::getline(file, line) && ++number;) {
        line = trim(line);
        if (line == "...") {
            expected.emplace_back(number, line);
        }
        if (line.empty() || line[0] == '#' || line == "...") {
            continue;
        }
        const bool before = line.find_first_not_of("0123456789") == 0;  // set-up before the start
        std::string times;  // a piece without a time happens at the time of the one before
        for (std::size_t from = 0, to = 0; from <= line.size(); from = to + 3) {
            to = std::min(line.find(" | ", from), line.size());
            const std::string piece = line.substr(from, to - from);
            if (before) {
                setUp(split(piece, " ").first, split(piece, " ").second);
                continue;
            }
            const bool timed = piece.find_first_not_of("0123456789") != 0;
            const std::string text = timed ? split(piece, " ").second : piece;
            times = timed ? split(piece, " ").first : times;
            const std::int64_t at = std::stoll(times);
            const auto range = times.find("..");
            end = std::max<std::int64_t>(
                end, range == std::string::npos ? at : std::stoll(times.substr(range + 2)));
            expected.emplace_back(number, times + " " + text);
            if (text[0] == '<' || text[0] == '!') {
                world.loop.schedule(at, [this, text] { act(text); });
            }
        }
    }
    cursorX = world.input.cursorX(), cursorY = world.input.cursorY();
    const std::int64_t last = std::exchange(end, -1);
    poll();  // what setting up the world did is not part of the conversation
    end = last;
    world.loop.setStepObserver([this] { poll(); });
    std::string failure;
    try {
        world.loop.runUntil(end + 1);
        poll();
    } catch (const std::exception& error) {
        failure = std::string("the run stopped: ") + error.what();
    }
    world.loop.setStepObserver(nullptr);

    canonical(log, [](const std::pair<std::int64_t, std::string>& entry) {
        return std::pair{std::to_string(entry.first), entry.second};
    });
    // Three or more equal events in a row are written as one line.
    std::vector<std::string> actual;
    for (std::size_t from = 0, to = 0; from < log.size(); from = to) {
        while (to < log.size() && log[to].second == log[from].second) {
            ++to;
        }
        for (std::size_t i = from; i < to; i += to - from >= 3 ? to - from : 1) {
            actual.push_back(std::to_string(log[i].first) +
                             (to - from < 3
                                  ? " " + log[i].second
                                  : ".." + std::to_string(log[to - 1].first) + " " + log[i].second +
                                        " x" + std::to_string(to - from)));
        }
    }

    canonical(expected, [](const std::pair<int, std::string>& entry) {
        const auto space = entry.second.find(' ');
        return std::pair{entry.second.substr(0, space), entry.second.substr(space + 1)};
    });

    // Compare; "..." stands for any number of lines.
    std::size_t next = 0;
    for (std::size_t i = 0; i < expected.size() && failure.empty(); ++i) {
        const auto& [line, text] = expected[i];
        if (text == "...") {  // on to the next line expected, or to the end
            const std::string want = i + 1 < expected.size() ? expected[i + 1].second : "";
            while (next < actual.size() && actual[next] != want) {
                ++next;
            }
            continue;
        }
        if (next >= actual.size() || actual[next] != text) {
            failure = "line " + std::to_string(line) + ": expected \"" + text + "\", got \"" +
                      (next < actual.size() ? actual[next] : "nothing more") + "\"";
        }
        ++next;
    }
    if (failure.empty() && next < actual.size()) {
        failure = "more than the transcript says, from \"" + actual[next] + "\"";
    }
    if (failure.empty()) {
        return true;
    }
    std::cout << path << ": " << failure << "\nWhat happened:\n";
    for (const std::string& event : actual) {
        std::cout << event << "\n";
    }
    return false;
}

}  // namespace
}  // namespace zintor

int main(int argc, char** argv) {
    bool ok = argc > 1;
    for (int i = 1; i < argc; ++i) {
        try {
            ok = zintor::Player().play(argv[i]) && ok;
        } catch (const std::exception& error) {
            std::cout << argv[i] << ": " << error.what() << "\n";
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
