#include "core/media/PlaylistWindow.h"

#include <algorithm>

namespace zintor {

namespace {
constexpr int kMaxItems = 10;
}

PlaylistWindow buildPlaylistWindow(int count, int first) {
    PlaylistWindow window;
    const int positions = std::min(kMaxItems, std::max(count, 0));
    bool entryShown = false;
    for (int position = 1; position <= positions; ++position) {
        if (position == 1 && first > 0) {
            window.items.push_back({PlaylistItem::Kind::kBack, -1});
            continue;
        }
        const int forward = first + position - 1;
        if (position == positions && forward >= 0 && forward < count) {
            window.items.push_back({PlaylistItem::Kind::kMore, -1});
            continue;
        }
        const int entry = first == 0 ? position - 1 : first + position - 2;
        if (entry >= 0 && entry < count) {
            window.items.push_back({PlaylistItem::Kind::kEntry, entry});
            entryShown = true;
        }
    }
    if (first == 0 && entryShown) {
        window.highlighted = 1;
    } else if (count >= kMaxItems) {
        window.highlighted = 2;
    }
    return window;
}

}  // namespace zintor
