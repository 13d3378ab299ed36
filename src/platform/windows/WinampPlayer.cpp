#include "WinampPlayer.h"

#include <windows.h>

#include "WideText.h"
#include "media/MediaTexts.h"

namespace zintor {

namespace {
HWND playerWindow(MediaPlayer::Handle handle) {
    return reinterpret_cast<HWND>(handle);
}
std::string ansiToUtf8(const std::string& text) {
    if (text.empty()) {
        return text;
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wideToUtf8(wide);
}

}  // namespace

MediaPlayer::Handle WinampPlayer::findWindow(const std::string&) {
    return reinterpret_cast<Handle>(FindWindowW(kWindowClass, nullptr));
}

void WinampPlayer::command(Handle window, int id) {
    if (window != 0) {
        SendMessageW(playerWindow(window), WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
}

int WinampPlayer::query(Handle window, int data, int code) {
    if (window == 0) {
        return 0;
    }
    return static_cast<int>(SendMessageW(playerWindow(window), WM_USER, static_cast<WPARAM>(data),
                                         static_cast<LPARAM>(code)));
}

std::string WinampPlayer::caption(Handle window) {
    if (window == 0) {
        return {};
    }
    const int length = GetWindowTextLengthW(playerWindow(window));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(playerWindow(window), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return wideToUtf8(text);
}

bool WinampPlayer::start(const std::string& path) {
    const LaunchResult result = launcher_.start(path, true);
    return result.started && result.processId != 0;
}

template <typename Visit>
bool WinampPlayer::readPlaylist(const std::string& playerPath, Visit entry) {
    const std::size_t slash = playerPath.find_last_of('\\');  // the file is in the player's folder
    const std::string path = playerPath.substr(0, slash == std::string::npos ? 0 : slash + 1) +
                             media_texts::kPlaylistFile;
    std::vector<std::string> lines;
    if (!files_.exists(path) || !files_.readLines(path, lines)) {
        return false;
    }
    int index = 0;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        // Winamp writes its playlist in the system's ANSI code page.
        if (!entry(index++, ansiToUtf8(line))) {
            break;
        }
    }
    return true;
}

int WinampPlayer::playlistCount(const std::string& playerPath) {
    int count = 0;
    if (!readPlaylist(playerPath, [&count](int, const std::string&) { return ++count > 0; })) {
        return -1;
    }
    return count;
}

bool WinampPlayer::playlistEntries(const std::string& playerPath, int first, int count,
                                   std::vector<PlaylistEntry>& out) {
    out.clear();
    return readPlaylist(playerPath, [&](int index, const std::string& path) {
        if (index >= first) {
            out.push_back(PlaylistEntry{path, ""});
        }
        return index + 1 < first + count;
    });
}

}  // namespace zintor
