#include "media/WinampPlaylistFile.h"

#include "link/FileHelpers.h"
#include "media/MediaTexts.h"

namespace zintor {

std::string winampPlaylistFilePath(const std::string& playerPath, char separator) {
    return getFolderPath(playerPath, separator) + media_texts::kPlaylistFile;
}

bool readWinampPlaylistFile(Files& files, const std::string& playerPath,
                            std::vector<std::string>& entries) {
    entries.clear();
    const std::string path = winampPlaylistFilePath(playerPath, files.separator());
    if (!fileExists(files, path) || !files.readLines(path, entries)) {
        return false;
    }
    std::erase_if(entries, [](const std::string& line) { return !line.empty() && line[0] == '#'; });
    return true;
}

}  // namespace zintor
