#pragma once

// The media tests' kit: a private session bus and PulseAudio for the whole test binary with a
// fresh D-Bus connection of the adapters per test and tagged tone files; the whole program on the
// simulated world with a real media player and real files.

#include <gmock/gmock.h>

#include <QDBusConnection>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PrivatePulseServer.h"
#include "PrivateSessionBus.h"
#include "TestPlayers.h"
#include "ToneFiles.h"
#include "app/Program.h"
#include "link/Link.h"
#include "platform/sim/SimWorld.h"
#include "qt/QtEventLoop.h"

namespace zintor::testing {

using Lines = std::vector<std::string>;

// An AT*EASM line of the playlist menu.
inline std::string playlistLine(int highlighted, const Lines& items) {
    std::string line =
        "AT*EASM=\"WinAMP\",1," + std::to_string(highlighted) + "," + std::to_string(items.size());
    for (const std::string& item : items) {
        line += ",\"" + item + "\"";
    }
    return line;
}

// The status dialog opening on a real player: keypad reporting on, `title` in its first ten
// seconds of `length`, the dialog's clear key.
inline auto opensStatus(const std::string& title, const std::string& length) {
    using namespace ::testing;
    return ElementsAre("AT+CMER=3,2,0,0,0",
                       AllOf(StartsWith("AT*EAID=14,2,\"WinAMP\",\"" + title + "  0:0"),
                             EndsWith(" (" + length + ")\"")),
                       "AT+CKPD=\"c\"");
}

// The phone connected on COM3, showing the main menu ("WinAMP" is item 3 of five).
class MediaRig {
  public:
    MediaRig(const std::string& playerPath, MediaPlayer& player, Files& files)
        : program(Ports{world.loop, world.serial(), world.registry, world.settings, files,
                        world.logSink, world.desktop, world.launcher, world.input, world.mixer,
                        player, world.board}) {
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

class PlayerBusFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        bus_ = std::make_unique<PrivateSessionBus>();
        pulse_ = std::make_unique<PrivatePulseServer>();
        up_ = PrivateSessionBus::installed() && bus_->start() && PrivatePulseServer::installed() &&
              pulse_->start();
    }
    static void TearDownTestSuite() {
        pulse_.reset();
        bus_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(up_) << "dbus-daemon (package dbus) and pulseaudio are needed";
        ASSERT_TRUE(connection_.isConnected());
    }
    ~PlayerBusFixture() override { QDBusConnection::disconnectFromBus(name_); }

    // Tone files of 20, 21, 22 ... seconds in the bus's folder, tagged "<title> Zintor".
    std::vector<std::string> tones(const std::vector<std::string>& titles) {
        const std::string folder = bus_->folder() + "/music";
        std::filesystem::create_directories(folder);
        std::vector<std::string> paths;
        for (std::size_t i = 0; i < titles.size(); ++i) {
            paths.push_back(folder + "/" + titles[i] + ".wav");
            const int n = static_cast<int>(i);
            writeTone(paths.back(), 20 + n, 440 + 110 * n, titles[i]);
        }
        return paths;
    }
    // Every entry of the playlist that query 120 made readable, by path.
    static std::vector<std::string> paths(MediaPlayer& player, const std::string& playerPath) {
        std::vector<PlaylistEntry> entries;
        EXPECT_TRUE(
            player.playlistEntries(playerPath, 0, player.playlistCount(playerPath), entries));
        std::vector<std::string> paths;
        for (const PlaylistEntry& entry : entries) {
            paths.push_back(entry.path);
        }
        return paths;
    }

    QDBusConnection& connection() { return connection_; }
    PrivateSessionBus& bus() { return *bus_; }
    PrivatePulseServer& pulse() { return *pulse_; }
    QtEventLoop loop;

  private:
    static inline std::unique_ptr<PrivateSessionBus> bus_;
    static inline std::unique_ptr<PrivatePulseServer> pulse_;
    static inline bool up_ = false;
    static inline int connections_ = 0;
    const QString name_ = QStringLiteral("zintor-test-%1").arg(++connections_);
    QDBusConnection connection_ =
        QDBusConnection::connectToBus(QString::fromStdString(bus_->address()), name_);
};

}  // namespace zintor::testing
