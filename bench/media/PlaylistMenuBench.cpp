// How long the phone waits for the media player's screens when the player holds a long playlist:
// Audacious (its own interface) and VLC (an MPRIS track list), each with 1,000, 20,000 and
// 100,000 entries, the current one in the middle. Measured from the phone's line to the screen's
// line reaching the (simulated) phone, through the real adapters on a private session bus:
//  - menu: "WinAMP" chosen in the main menu (target: within 100 ms for 20,000 entries);
//  - play entry: the entry after the current one chosen in that menu, until the menu from it;
//  - list refresh: the 8 s refresh while the current entry stays the same;
//  - status refresh: the 4 s refresh of the status dialog (target: within 20 ms).
//
//   zintor_playlist_bench [entries ...]      (default: 1000 20000 100000)
//
// Each figure is the median and the largest of 10 runs, in milliseconds.

#include <QCoreApplication>
#include <QDBusConnection>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "MediaRig.h"
#include "PrivatePulseServer.h"
#include "PrivateSessionBus.h"
#include "TestPlayers.h"
#include "ToneFiles.h"
#include "platform/linux/PlayerSelect.h"
#include "platform/qt/PosixFiles.h"

using namespace zintor;
using namespace zintor::testing;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 10;
constexpr int kLinksPerFile = 50'000;  // a file takes at most 65,000 hard links

struct Figure {
    double median = 0;
    double max = 0;
};

Figure summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// Wall time of `action` until the phone has received a line beginning with `expected`.
double timed(MediaRig& rig, const std::function<void()>& action, const std::string& expected) {
    rig.world.phone.clearLines();
    const auto start = Clock::now();
    action();
    for (int step = 0; step < 1000; ++step) {
        for (const std::string& text : rig.world.phone.texts()) {
            if (text.rfind(expected, 0) == 0) {
                return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            }
        }
        rig.world.loop.runFor(10);
    }
    std::fprintf(stderr, "no line \"%s\" reached the phone\n", expected.c_str());
    return -1;
}

// Wall time of `ms` of virtual time.
double period(MediaRig& rig, int ms) {
    rig.world.phone.clearLines();
    const auto start = Clock::now();
    rig.world.loop.runFor(ms);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Hard links "Track <i>.wav" to 30-second tagged tones, and a playlist of the first `count`.
std::string playlist(const std::string& folder, int count) {
    std::filesystem::create_directories(folder + "/music");
    for (int i = 0; i < count; ++i) {
        const std::string link = folder + "/music/Track " + std::to_string(i) + ".wav";
        if (std::filesystem::exists(link)) {
            continue;
        }
        const std::string source = folder + "/tone-" + std::to_string(i / kLinksPerFile) + ".wav";
        if (!std::filesystem::exists(source)) {
            writeTone(source, 30, 440, "Bench Tone");
        }
        std::filesystem::create_hard_link(source, link);
    }
    const std::string list = folder + "/list-" + std::to_string(count) + ".m3u";
    std::ofstream out(list);
    for (int i = 0; i < count; ++i) {
        out << folder << "/music/Track " << i << ".wav\n";
    }
    return list;
}

bool waitFor(const std::function<bool()>& done, int seconds) {
    return ChildProcess::eventually(done, std::chrono::seconds(seconds));
}

// CPU time of a process so far, in clock ticks.
long cpuTicks(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    long ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
        if (i == 14 || i == 15) {
            ticks += std::stol(field);
        }
    }
    return ticks;
}

// Until the player has finished reading its entries' details (at most a minute).
void waitIdle(int pid) {
    for (int i = 0; i < 120; ++i) {
        const long before = cpuTicks(pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (cpuTicks(pid) - before <= 5) {  // less than a tenth of a core
            return;
        }
    }
}

// The three figures for a player that plays entry count / 2 of `count`.
void measure(const char* name, const std::string& path, int count, PrivateSessionBus& bus) {
    const QString connectionName = QStringLiteral("bench-%1-%2").arg(name).arg(count);
    {
        QDBusConnection connection =
            QDBusConnection::connectToBus(QString::fromStdString(bus.address()), connectionName);
        PosixFiles files;
        PlayerSelect player(connection);
        MediaRig rig(path, player, files);
        std::vector<double> menu, play, listRefresh, statusRefresh;
        for (int run = 0; run < kRuns; ++run) {
            menu.push_back(timed(
                rig, [&] { rig.world.phone.send("*EAMI: 3\r\n"); }, "AT*EASM=\"WinAMP\""));
            // Item 3 is the entry after the current one: it plays and the list starts from it.
            play.push_back(timed(
                rig, [&] { rig.world.phone.send("*EAMI: 3\r\n"); }, "AT*EASM=\"WinAMP\""));
            rig.say("*EAMI: 0");
        }
        // A refresh period of virtual time holds exactly one refresh; what else runs in it (the
        // link's supervision) costs next to nothing.
        rig.openPlaylist();
        for (int run = 0; run < kRuns; ++run) {
            listRefresh.push_back(period(rig, 8000));
        }
        rig.say("*EAMI: 2");  // the current entry: the status dialog
        for (int run = 0; run < kRuns; ++run) {
            statusRefresh.push_back(period(rig, 4000));
            if (rig.world.phone.count("AT+CKPD=\"c\"") != 1) {
                std::fprintf(stderr, "the status dialog was not refreshed\n");
            }
        }
        const Figure m = summarise(menu), p = summarise(play), l = summarise(listRefresh),
                     s = summarise(statusRefresh);
        std::printf("%-10s %8d %8.1f %6.1f %8.1f %6.1f %8.1f %6.1f %8.1f %6.1f\n", name, count,
                    m.median, m.max, p.median, p.max, l.median, l.max, s.median, s.max);
        std::fflush(stdout);
    }
    QDBusConnection::disconnectFromBus(connectionName);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {1000, 20'000, 100'000};
    }
    PrivateSessionBus bus;
    PrivatePulseServer pulse;
    if (!bus.start() || !pulse.start()) {
        std::fprintf(stderr, "dbus-daemon and pulseaudio are needed\n");
        return 1;
    }
    std::printf("%-10s %8s %15s %15s %15s %15s\n", "", "", "menu", "play entry", "list refresh",
                "status refresh");
    std::printf("%-10s %8s", "player", "entries");
    for (int i = 0; i < 4; ++i) {
        std::printf(" %8s %6s", "median", "max");
    }
    std::printf("   (ms)\n");
    for (const int count : counts) {
        const std::string list = playlist(bus.folder(), count);
        TestAudacious audacious(bus, pulse);
        if (audacious.start()) {
            audacious.audtool("playlist-addurl 'file://" + list + "'");
            waitFor([&] { return audacious.audtool("playlist-length") == std::to_string(count); },
                    120);
            audacious.audtool("playlist-jump " + std::to_string(count / 2 + 1));
            audacious.audtool("playback-play");
            waitIdle(audacious.processId());
            measure("Audacious", "/usr/bin/audacious", count, bus);
            audacious.stop();
        } else {
            std::fprintf(stderr, "Audacious did not start\n");
        }
    }
    for (const int count : counts) {
        const std::string list = playlist(bus.folder(), count);
        TestMprisPlayer vlc(bus, "vlc");
        if (vlc.start({list})) {
            {
                QDBusConnection connection =
                    QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "jump");
                PlayerSelect player(connection);
                player.find("/usr/bin/vlc");
                waitFor([&] { return player.readPlaylist().count == count; }, 60);
                player.jump(count / 2);
            }
            QDBusConnection::disconnectFromBus("jump");
            measure("VLC", "/usr/bin/vlc", count, bus);
            vlc.stop();
        } else {
            std::fprintf(stderr, "VLC did not start\n");
        }
    }
    return 0;
}
