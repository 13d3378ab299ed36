// CPU time of the real zintor program against a virtual phone on a pseudo-terminal:
//  (a) connected and idle (the link supervision probing every 5 s): target below 0.1% of a core;
//  (b) while its commands are left to time out (a silent phone): waiting must not spin;
//  (c) a burst of 100,000 key lines at once: the program's memory stays bounded (its peak
//      resident size grows by less than 64 MiB) and it answers the phone afterwards.
//
//   zintor_link_bench [--idle-seconds N] [--silent-seconds N] [--burst-lines N]
//
// CPU time is the sum of all the program's threads from /proc/<pid>/task/*/schedstat
// (nanoseconds on a CPU); wake-ups are their voluntary context switches.

#include <signal.h>

#include <dirent.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "PtyPhone.h"
#include "ZintorProcess.h"

using zintor::phone::PtyPhone;
using zintor::test::ZintorProcess;
using namespace std::chrono_literals;

namespace {

struct Usage {
    double cpuMs = 0;
    long wakeups = 0;
};

Usage measure(pid_t pid) {
    Usage usage;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(tasks.c_str());
    if (dir == nullptr) {
        return usage;
    }
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string task = tasks + "/" + entry->d_name;
        std::ifstream schedstat(task + "/schedstat");
        long long onCpuNs = 0;
        if (schedstat >> onCpuNs) {
            usage.cpuMs += static_cast<double>(onCpuNs) / 1e6;
        }
        std::ifstream status(task + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) {
                usage.wakeups += std::stol(line.substr(24));
            }
        }
    }
    closedir(dir);
    return usage;
}

// A field of /proc/<pid>/status in KiB ("VmHWM", "VmRSS"), or -1.
long statusKiB(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

void report(const char* what, double seconds, const Usage& from, const Usage& to) {
    const double cpuMs = to.cpuMs - from.cpuMs;
    std::printf("%-44s %6.1f s  cpu %8.2f ms  = %7.4f%% of one core  wake-ups %5ld (%.1f/s)\n",
                what, seconds, cpuMs, cpuMs / (seconds * 10.0), to.wakeups - from.wakeups,
                static_cast<double>(to.wakeups - from.wakeups) / seconds);
}

}  // namespace

int main(int argc, char** argv) {
    int idleSeconds = 30;
    int silentSeconds = 10;
    int burstLines = 100'000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--idle-seconds") == 0) {
            idleSeconds = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--silent-seconds") == 0) {
            silentSeconds = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--burst-lines") == 0) {
            burstLines = std::atoi(argv[i + 1]);
        }
    }

    PtyPhone phone;
    if (!phone.ok()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", phone.error().c_str());
        return 1;
    }
    ZintorProcess zintor;
    zintor.pin(1, "/dev/null");  // keep the program off this machine's own UART
    zintor.pin(5, phone.slavePath());
    zintor.writeSettings("Com=5\n");
    if (!zintor.start()) {
        std::fprintf(stderr, "cannot start %s\n", ZINTOR_BINARY);
        return 1;
    }
    if (phone.waitForLine("AT*EAM=\"Zintor\"", 0, 30s) < 0) {
        std::fprintf(stderr, "zintor did not connect:\n%s", zintor.errorOutput().c_str());
        return 1;
    }
    // A bare *EAMI resets the phone's screens; the commands it sends start the supervision.
    std::this_thread::sleep_for(1s);
    const std::size_t before = phone.lines().size();
    phone.send("*EAMI\r\n");
    phone.waitForLine("AT*EAM=\"Zintor\"", before, 10s);
    std::this_thread::sleep_for(500ms);

    std::printf("zintor %d on %s\n", static_cast<int>(zintor.pid()), phone.slavePath().c_str());
    const std::size_t idleFrom = phone.lines().size();
    const Usage idleStart = measure(zintor.pid());
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const Usage idleEnd = measure(zintor.pid());
    report("(a) connected, idle", idleSeconds, idleStart, idleEnd);
    std::printf("    supervision probes answered meanwhile: %zu\n",
                phone.lines().size() - idleFrom);

    phone.setSilent(true);
    const std::size_t silentFrom = phone.lines().size();
    const Usage silentStart = measure(zintor.pid());
    std::this_thread::sleep_for(std::chrono::seconds(silentSeconds));
    const Usage silentEnd = measure(zintor.pid());
    report("(b) commands left to time out (silent phone)", silentSeconds, silentStart, silentEnd);
    std::printf("    unanswered commands meanwhile: %zu\n", phone.lines().size() - silentFrom);

    // (c) The phone talks again, then sends every line of the burst in one go; the program is
    // asked for its menu right behind them.
    phone.setSilent(false);
    phone.waitForLine("AT*EAM=\"Zintor\"", silentFrom, 30s);
    std::this_thread::sleep_for(1s);
    const long peakBefore = statusKiB(zintor.pid(), "VmHWM");
    std::string burst;
    for (int i = 0; i < burstLines; ++i) {
        burst += i % 2 == 0 ? "+CKEV: 1,1\r\n" : "+CKEV: 1,0\r\n";
    }
    const std::size_t burstFrom = phone.lines().size();
    const auto burstStart = std::chrono::steady_clock::now();
    phone.send(burst + "*EAMI\r\n");
    const bool answered = phone.waitForLine("AT*EAM=\"Zintor\"", burstFrom, 60s) >= 0;
    const double burstMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - burstStart)
            .count();
    const long peakGrowth = statusKiB(zintor.pid(), "VmHWM") - peakBefore;
    std::printf("(c) %d key lines in one burst: %s after %.0f ms; peak memory +%ld KiB (%s)\n",
                burstLines, answered ? "menu sent" : "NO ANSWER", burstMs, peakGrowth,
                peakGrowth < 64 * 1024 ? "bounded" : "TOO MUCH");
    const bool targetsMet = answered && peakGrowth < 64 * 1024;

    zintor.signal(SIGTERM);
    const auto status = zintor.waitForExit(30s);
    std::printf("exit status %d\n", status ? *status : -1);
    return targetsMet ? 0 : 2;
}
