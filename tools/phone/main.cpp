// zintor-phone: a virtual phone on a pseudo-terminal, for trying Zintor without a phone.
//
//   zintor-phone [--link PATH] [--silent] [--reply 'COMMAND=REPLY']... [--script FILE]
//
// Prints the device to open (such as /dev/pts/3) on its first line, then every line the program
// sends, with the milliseconds since start. It answers as the phone model does (the same model as
// the web phone). Lines read from standard input (or from the script) are sent to the program
// followed by CR LF; lines starting with ':' are commands:
//   :screen        show what the phone shows (entry, menu, dialog, keypad reporting)
//   :open  :choose N  :leave  :answer  :close  :end  :text TEXT
//                  the user's actions (open the entry, choose item N, leave the menu, answer or
//                  close the dialog, end the session, enter TEXT in the input box)
//   :key CODE      press and release a key (:press CODE, :release CODE for one half)
//   :raw TEXT      send TEXT without CR LF (\r, \n, \t, \\ and \xHH stand for those bytes)
//   :sleep MS      pause
//   :wait TEXT     wait (up to 60 s) until the program sends the line TEXT
//   :silent [MS]   stop answering (for MS milliseconds)     :talk   answer again
//   :echo on|off   echo each command line before its answer (as a phone with ATE1)
//   :hangup        close the line (the program sees the device go away) and end
//   :quit          end
// A REPLY of --reply may use the escapes of :raw; an empty REPLY means no answer to that command.
// --link PATH makes PATH a symbolic link to the device (for example
// ~/.config/Zintor/ports/COM5) and removes it at the end.

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include "InfoOptions.h"
#include "PtyPhone.h"

using zintor::phone::PtyPhone;

namespace {

constexpr zintor::cli::ProgramHelp kHelp{
    "zintor-phone", "[--link PATH] [--silent] [--reply 'COMMAND=REPLY']... [--script FILE]",
    "A virtual phone on a pseudo-terminal, for trying Zintor without a phone. Prints the device\n"
    "to open, then every line the program sends; answers as a phone; sends each line typed (or\n"
    "read from the script) followed by CR LF. Lines starting with ':' are commands: :sleep MS,\n"
    ":wait TEXT, :silent [MS] (for MS ms), :talk, :echo on|off, :raw TEXT (no CR LF; \\r \\n\n"
    "\\xHH escapes), :hangup, :quit; the user's actions :open, :choose N, :leave, :answer,\n"
    ":close, :end, :text TEXT, :key CODE, :press CODE, :release CODE; :screen.\n",
    "  --link PATH    make PATH a symbolic link to the device (removed at the end)\n"
    "  --silent       answer nothing (as :silent)\n"
    "  --reply C=R    answer the command C with R (\\r, \\n, \\xHH allowed; empty: no answer)\n"
    "  --script FILE  run the lines of FILE before standard input\n"};

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool hex = text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() &&
                         std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                         std::isxdigit(static_cast<unsigned char>(text[i + 3]));
        if (hex) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

void printScreen(const zintor::web::PhoneScreen& screen) {
    using zintor::web::DialogKind;
    std::printf("entry: %s\n", screen.entry.empty() ? "(none)" : screen.entry.c_str());
    if (screen.menu) {
        std::printf("menu: %s\n", screen.menu->title.c_str());
        for (std::size_t i = 0; i < screen.menu->items.size(); ++i) {
            std::printf(" %c%zu %s\n",
                        static_cast<int>(i) + 1 == screen.menu->highlighted ? '>' : ' ', i + 1,
                        screen.menu->items[i].c_str());
        }
    }
    static const char* const kKinds[] = {"", "notice", "pop-up", "input", "status"};
    if (screen.dialog.kind != DialogKind::kNoDialog) {
        std::printf("%s: %s %s\n", kKinds[static_cast<int>(screen.dialog.kind)],
                    screen.dialog.title.c_str(), screen.dialog.text.c_str());
    }
    std::printf("keypad reporting: %s\n", screen.keypadReporting ? "on" : "off");
    std::fflush(stdout);
}

// The user's actions on the phone model; false when `command` is none of them.
bool runAction(PtyPhone& phone, const std::string& command, const std::string& argument) {
    using zintor::web::PhoneModel;
    std::function<std::optional<std::string>(PhoneModel&)> action;
    if (command == ":open") {
        action = [](PhoneModel& m) { return m.openEntry(); };
    } else if (command == ":choose") {
        const int item = std::atoi(argument.c_str());
        action = [item](PhoneModel& m) { return m.chooseItem(item); };
    } else if (command == ":leave") {
        action = [](PhoneModel& m) { return m.leaveMenu(); };
    } else if (command == ":answer") {
        action = [](PhoneModel& m) { return m.answerDialog(); };
    } else if (command == ":close") {
        action = [](PhoneModel& m) { return m.closeDialog(); };
    } else if (command == ":end") {
        action = [](PhoneModel& m) { return m.endSession(); };
    } else if (command == ":text") {
        action = [argument](PhoneModel& m) { return m.enterText(argument); };
    } else if (command == ":press" || command == ":release" || command == ":key") {
        const bool press = command != ":release";
        action = [argument, press](PhoneModel& m) { return m.key(argument, press); };
    } else {
        return false;
    }
    if (!phone.act(action)) {
        std::fprintf(stderr, "zintor-phone: %s does nothing on this screen\n", command.c_str());
    } else if (command == ":key") {
        phone.act([argument](PhoneModel& m) { return m.key(argument, false); });
    }
    return true;
}

// Runs one script or input line; false when the phone should end.
bool runLine(PtyPhone& phone, const std::string& line, std::size_t& seen) {
    if (line.empty()) {
        return true;
    }
    if (line[0] != ':') {
        phone.send(line + "\r\n");
        return true;
    }
    const std::size_t blank = line.find(' ');
    const std::string command = line.substr(0, blank);
    const std::string argument = blank == std::string::npos ? "" : line.substr(blank + 1);
    if (command == ":sleep") {
        usleep(static_cast<useconds_t>(std::stoul(argument.empty() ? "0" : argument)) * 1000);
    } else if (command == ":wait") {
        const int index = phone.waitForLine(argument, seen, std::chrono::seconds(60));
        if (index < 0) {
            std::fprintf(stderr, "zintor-phone: no \"%s\" within 60 s\n", argument.c_str());
            return false;
        }
        seen = static_cast<std::size_t>(index) + 1;
    } else if (command == ":raw") {
        phone.send(unescape(argument));
    } else if (command == ":silent" && !argument.empty()) {
        phone.silenceFor(std::chrono::milliseconds(std::stoul(argument)));
    } else if (command == ":silent") {
        phone.setSilent(true);
    } else if (command == ":echo") {
        phone.setEcho(argument == "on");
    } else if (command == ":talk") {
        phone.setSilent(false);
    } else if (command == ":hangup") {
        phone.hangUp();
        return false;
    } else if (command == ":quit") {
        return false;
    } else if (command == ":screen") {
        printScreen(phone.screen());
    } else if (runAction(phone, command, argument)) {
    } else {
        std::fprintf(stderr, "zintor-phone: unknown command %s\n", command.c_str());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = zintor::cli::answerInfoOptions(kHelp, argc, argv)) {
        return *status;
    }
    std::string linkPath;
    std::string scriptPath;
    PtyPhone phone;
    if (!phone.ok()) {
        std::fprintf(stderr, "zintor-phone: %s\n", phone.error().c_str());
        return 1;
    }
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--link" && hasValue) {
            linkPath = argv[++i];
        } else if (arg == "--script" && hasValue) {
            scriptPath = argv[++i];
        } else if (arg == "--silent") {
            phone.setSilent(true);
        } else if (arg == "--reply" && hasValue) {
            const std::string pair = argv[++i];
            const std::size_t eq = pair.find('=');
            if (eq == std::string::npos) {
                return zintor::cli::usageError(kHelp, "--reply needs COMMAND=REPLY");
            }
            phone.setReply(pair.substr(0, eq), unescape(pair.substr(eq + 1)));
        } else if (!hasValue && (arg == "--link" || arg == "--script" || arg == "--reply")) {
            return zintor::cli::usageError(kHelp, arg + " needs a value");
        } else {
            return zintor::cli::usageError(kHelp, "unknown option " + arg);
        }
    }

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(phone.slavePath().c_str(), linkPath.c_str()) != 0) {
            std::perror(("zintor-phone: " + linkPath).c_str());
            return 1;
        }
    }
    phone.setLineHook([](const PtyPhone::Line& line) {
        std::printf("%8lld < %s\n", static_cast<long long>(line.ms), line.text.c_str());
        std::fflush(stdout);
    });
    std::printf("%s\n", phone.slavePath().c_str());
    std::fflush(stdout);

    std::size_t seen = 0;
    bool running = true;
    if (!scriptPath.empty()) {
        std::ifstream script(scriptPath);
        if (!script) {
            std::fprintf(stderr, "zintor-phone: cannot read %s\n", scriptPath.c_str());
            running = false;
        }
        for (std::string line; running && !stopRequested && std::getline(script, line);) {
            running = runLine(phone, line, seen);
        }
    }
    // Standard input until it ends, then serve until a signal.
    bool inputOpen = true;
    std::string pending;
    while (running && !stopRequested) {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&fd, inputOpen ? 1 : 0, inputOpen ? -1 : 1000);
        if (ready <= 0 || !inputOpen) {
            continue;
        }
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            inputOpen = false;
            continue;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; running && (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            running = runLine(phone, line, seen);
        }
    }
    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
    }
    return 0;
}
