#include "media/WinampPlaylistFile.h"

#include "link/FileHelpers.h"
#include "media/MediaTexts.h"

namespace zintor {

std::string WinampPlaylistFilePath(const std::string& playerPath, char separator) {
    return GetFolderPath(playerPath, separator) + media_texts::kPlaylistFile;
}

bool ReadWinampPlaylistFile(Files& files, const std::string& playerPath,
                            std::vector<std::string>& entries) {
    entries.clear();
    const std::string path = WinampPlaylistFilePath(playerPath, files.separator());
    if (!FileExists(files, path) || !files.readLines(path, entries)) {
        return false;
    }
    std::erase_if(entries, [](const std::string& line) { return !line.empty() && line[0] == '#'; });
    return true;
}

}  // namespace zintor
