#pragma once

// A private session bus and PulseAudio for the whole test binary, a fresh D-Bus connection of the
// adapters per test, and tagged tone files.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PrivatePulseServer.h"
#include "PrivateSessionBus.h"
#include "TestPlayers.h"
#include "ToneFiles.h"
#include "ports/MediaPlayer.h"
#include "qt/QtEventLoop.h"

namespace zintor::testing {

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
