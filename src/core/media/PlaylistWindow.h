#pragma once

#include <vector>

namespace zintor {

// One item of the playlist menu: the back item "..More", the forward item "More..", or a
// playlist entry.
struct PlaylistItem {
    enum class Kind { kBack, kMore, kEntry };
    Kind kind = Kind::kEntry;
    int entry = -1;  // index of the entry, for Entry items
};

struct PlaylistWindow {
    std::vector<PlaylistItem> items;
    int highlighted = 0;  // 1-based; 0 for none
};

// The menu for a playlist of `count` entries whose window starts at entry `first` (the current
// entry moved by the page offset). At most 10 item positions: position 1 is "..More" when the
// window does not start at entry 0; the entries follow; the last position (10th, or the
// count-th in a shorter list) is "More.." whenever the entry at first + position - 1 exists; a
// position whose entry lies beyond the end is dropped. Highlighted: 1 when the window starts at
// entry 0 and shows an entry, else 2 when the list has 10 or more entries, else none.
PlaylistWindow buildPlaylistWindow(int count, int first);

}  // namespace zintor
