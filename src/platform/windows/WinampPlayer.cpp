#include "platform/windows/WinampPlayer.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace zintor {

namespace {

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

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view dropLast(std::string_view text, std::size_t count) {
    return text.substr(0, text.size() > count ? text.size() - count : 0);
}

// Characters that end a caption without the paused marker ("...Winamp").
constexpr std::string_view kCaptionEndLetters = "pausedPAUSED";
constexpr std::size_t kPausedMarkerLength = 9;  // " [Paused]"
constexpr std::size_t kPlayerNameLength = 8;    // "- Winamp", leaving the blank before it

}  // namespace

std::string WinampPlayer::titleFromCaption(std::string_view caption) {
    std::string_view t = caption;
    if (t.empty() || kCaptionEndLetters.find(t.back()) == std::string_view::npos) {
        t = dropLast(t, kPausedMarkerLength);
    }
    t = dropLast(t, kPlayerNameLength);
    const std::size_t period = t.find('.');
    if (period != std::string_view::npos) {
        t.remove_prefix(period + 1);
    }
    return std::string(trimBlanks(t));
}

bool WinampPlayer::find(const std::string& playerPath) {
    // Winamp's window is found by its class, whatever the path; the path tells where its
    // playlist file is.
    window_ = FindWindowW(kWindowClass, nullptr);
    playerPath_ = playerPath;
    return window_ != nullptr;
}

void WinampPlayer::command(int id) {
    if (window_ != nullptr) {
        SendMessageW(static_cast<HWND>(window_), WM_COMMAND, static_cast<WPARAM>(id), 0);
    }
}

int WinampPlayer::query(int data, int code) {
    if (window_ == nullptr) {
        return 0;
    }
    return static_cast<int>(SendMessageW(static_cast<HWND>(window_), WM_USER,
                                         static_cast<WPARAM>(data), static_cast<LPARAM>(code)));
}

void WinampPlayer::play() {
    command(winamp::kPlay);
}
void WinampPlayer::pause() {
    command(winamp::kPause);
}
void WinampPlayer::stop() {
    command(winamp::kStop);
}
void WinampPlayer::next() {
    command(winamp::kNext);
}
void WinampPlayer::previous() {
    command(winamp::kPrevious);
}
void WinampPlayer::volumeUp() {
    command(winamp::kVolumeUp);
}
void WinampPlayer::volumeDown() {
    command(winamp::kVolumeDown);
}
void WinampPlayer::showElapsed() {
    command(winamp::kShowElapsed);
}
void WinampPlayer::showRemaining() {
    command(winamp::kShowRemaining);
}
void WinampPlayer::close() {
    command(winamp::kClose);
}

PlayState WinampPlayer::state() {
    switch (query(0, winamp::kQueryState)) {
        case winamp::kStatePlaying:
            return PlayState::kPlaying;
        case winamp::kStatePaused:
            return PlayState::kPaused;
        default:
            return PlayState::kStopped;
    }
}

int WinampPlayer::position() {
    const int ms = query(winamp::kTimePosition, winamp::kQueryTime);
    return ms == -1 ? -1 : ms / 1000;
}

int WinampPlayer::length() {
    return query(winamp::kTimeLength, winamp::kQueryTime);
}

std::string WinampPlayer::title() {
    if (window_ == nullptr) {
        return {};
    }
    const HWND window = static_cast<HWND>(window_);
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return titleFromCaption(wideToUtf8(text));
}

bool WinampPlayer::start(const std::string& path) {
    const LaunchResult result = launcher_.start(path, true);
    return result.started && result.processId != 0;
}

void WinampPlayer::jump(int index) {
    query(index, winamp::kQuerySetPosition);
}

template <typename Visit>
bool WinampPlayer::readPlaylistFile(Visit entry) {
    const std::size_t slash = playerPath_.find_last_of('\\');  // the file is in the player's folder
    const std::string path =
        playerPath_.substr(0, slash == std::string::npos ? 0 : slash + 1) + winamp::kPlaylistFile;
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

PlaylistPlace WinampPlayer::readPlaylist() {
    PlaylistPlace place;
    // Query 120 writes the playlist file and answers the current entry's index.
    place.current = query(winamp::kWritePlaylistData, winamp::kQueryWritePlaylist);
    int count = 0;
    if (readPlaylistFile([&count](int, const std::string&) { return ++count > 0; })) {
        place.count = count;
    }
    return place;
}

bool WinampPlayer::playlistEntries(int first, int count, std::vector<PlaylistEntry>& out) {
    out.clear();
    return readPlaylistFile([&](int index, const std::string& path) {
        if (index >= first) {
            out.push_back(PlaylistEntry{path, ""});
        }
        return index + 1 < first + count;
    });
}

}  // namespace zintor
