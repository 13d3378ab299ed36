// zintor-phone: a virtual phone on a pseudo-terminal, for trying Zintor without a phone.
//
//   zintor-phone [--link PATH] [--silent] [--reply 'COMMAND=REPLY']... [--script FILE]
//
// Prints the device to open (such as /dev/pts/3) on its first line, then every line the program
// sends, with the milliseconds since start. Lines read from standard input (or from the script)
// are sent to the program followed by CR LF; lines starting with ':' are commands:
//   :sleep MS      pause
//   :wait TEXT     wait (up to 60 s) until the program sends the line TEXT
//   :silent        stop answering        :talk   answer "OK" again
//   :hangup        close the line (the program sees the device go away) and end
//   :quit          end
// A REPLY of --reply may use \r and \n; an empty REPLY means no answer to that command.
// --link PATH makes PATH a symbolic link to the device (for example
// ~/.config/Zintor/ports/COM5) and removes it at the end.

#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "InfoOptions.h"
#include "PtyPhone.h"

using zintor::phone::PtyPhone;

namespace {

constexpr zintor::cli::ProgramHelp kHelp{
    "zintor-phone", "[--link PATH] [--silent] [--reply 'COMMAND=REPLY']... [--script FILE]",
    "A virtual phone on a pseudo-terminal, for trying Zintor without a phone. Prints the device\n"
    "to open, then every line the program sends; sends each line typed (or read from the\n"
    "script) followed by CR LF. Lines starting with ':' are commands: :sleep MS, :wait TEXT,\n"
    ":silent, :talk, :hangup, :quit.\n",
    "  --link PATH    make PATH a symbolic link to the device (removed at the end)\n"
    "  --silent       answer nothing (as :silent)\n"
    "  --reply C=R    answer the command C with R (\\r and \\n allowed; empty: no answer)\n"
    "  --script FILE  run the lines of FILE before standard input\n"};

volatile std::sig_atomic_t stopRequested = 0;

void OnSignal(int) {
    stopRequested = 1;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Runs one script or input line; false when the phone should end.
bool RunLine(PtyPhone& phone, const std::string& line, std::size_t& seen) {
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
    } else if (command == ":silent") {
        phone.setSilent(true);
    } else if (command == ":talk") {
        phone.setSilent(false);
    } else if (command == ":hangup") {
        phone.hangUp();
        return false;
    } else if (command == ":quit") {
        return false;
    } else {
        std::fprintf(stderr, "zintor-phone: unknown command %s\n", command.c_str());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = zintor::cli::AnswerInfoOptions(kHelp, argc, argv)) {
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
                std::fprintf(stderr, "zintor-phone: --reply needs COMMAND=REPLY\n");
                return 2;
            }
            phone.setReply(pair.substr(0, eq), Unescape(pair.substr(eq + 1)));
        } else {
            std::fprintf(stderr, "zintor-phone: unknown argument %s (see zintor-phone --help)\n",
                         arg.c_str());
            return 2;
        }
    }

    struct sigaction action {};
    action.sa_handler = OnSignal;
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
            running = RunLine(phone, line, seen);
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
            running = RunLine(phone, line, seen);
        }
    }
    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
    }
    return 0;
}
