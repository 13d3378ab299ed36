// Winamp's window messages and playlist file, against a stand-in window of class "Winamp v1.x"
// in this test (Winamp itself cannot be installed here); the winmm mixer as wine provides it.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "platform/windows/WinFiles.h"
#include "platform/windows/WinLauncher.h"
#include "platform/windows/WinMixer.h"
#include "platform/windows/WinampPlayer.h"

namespace zintor {
namespace {

std::string commands;
std::string playlistFolder;

// The stand-in: records commands, answers the queries, writes its playlist on query 120.
LRESULT CALLBACK standInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        commands += std::to_string(wParam) + " ";
        return 0;
    }
    if (message == WM_USER && lParam == winamp::kQueryState) {
        return winamp::kStatePaused;
    }
    if (message == WM_USER && lParam == winamp::kQueryWritePlaylist) {
        std::ofstream m3u(playlistFolder + "\\winamp.m3u", std::ios::binary);
        m3u << "#EXTM3U\r\n#EXTINF:200,One\r\nC:\\music\\one.mp3\r\n"
               "C:\\music\\caf\xe9.mp3\r\n#EXTINF:1,Three\r\nhttp://radio/three\r\n";
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WinampPlayerTest, DrivesTheWindowOfClassWinampAndPagesItsPlaylist) {
    playlistFolder = WinFiles::executableFolder();
    const std::string playerPath = playlistFolder + "\\winamp.exe";

    WinFiles files;
    WinLauncher launcher;
    WinampPlayer player(files, launcher);
    EXPECT_EQ(player.findWindow(playerPath), 0);  // not running

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = standInProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = WinampPlayer::kWindowClass;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"2. Artist - Song - Winamp [Paused]",
                                WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr) << "no X display? (run under xvfb-run)";
    const MediaPlayer::Handle found = player.findWindow(playerPath);
    ASSERT_EQ(found, reinterpret_cast<MediaPlayer::Handle>(window));
    player.command(found, winamp::kNext);
    EXPECT_EQ(commands, "40048 ");
    EXPECT_EQ(player.query(found, 0, winamp::kQueryState), winamp::kStatePaused);
    EXPECT_EQ(player.caption(found), "2. Artist - Song - Winamp [Paused]");

    EXPECT_EQ(player.query(found, winamp::kWritePlaylistData, winamp::kQueryWritePlaylist), 1);
    EXPECT_EQ(player.playlistCount(playerPath), 3);  // comment lines are no entries
    std::vector<PlaylistEntry> page;
    ASSERT_TRUE(player.playlistEntries(playerPath, 1, 5, page));
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].path, "C:\\music\\caf\xc3\xa9.mp3");  // the ANSI code page read as such
    EXPECT_EQ(page[1].path, "http://radio/three");
    EXPECT_EQ(player.playlistCount(playlistFolder + "\\none\\winamp.exe"), -1);

    DestroyWindow(window);
    DeleteFileA((playlistFolder + "\\winamp.m3u").c_str());
    EXPECT_EQ(player.findWindow(playerPath), 0);
}

TEST(WinMixerTest, MasterVolumeRoundTrip) {
    WinMixer mixer;
    ASSERT_TRUE(mixer.open()) << "no mixer device under wine";
    ASSERT_TRUE(mixer.findMasterVolume());
    std::uint32_t before = 0, after = 0;
    ASSERT_TRUE(mixer.getVolume(before));
    const std::uint32_t wanted = before >= 30000 ? 12000 : 54000;
    ASSERT_TRUE(mixer.setVolume(wanted) && mixer.getVolume(after));
    EXPECT_NEAR(static_cast<double>(after), wanted, 700.0);  // as the device rounds it
}

}  // namespace
}  // namespace zintor
