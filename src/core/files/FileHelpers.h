#pragma once

#include <string>
#include <string_view>

#include "core/ports/Files.h"

namespace zintor {

// Small path helpers. Path texts are taken apart at `separator` (Files::separator()).

struct SplitName {
    std::string baseName;
    std::string extension;
};

// The last path element split at its first dot ("b.c.mp3" gives "b" and "c.mp3"). Without a dot
// the whole element is the base name and the extension is empty.
SplitName splitFileName(std::string_view path, char separator);

// A file or folder of that name exists (the last element compared ignoring case).
bool fileExists(Files& files, const std::string& path);
bool folderExists(Files& files, const std::string& path);
// Creates the last level only; true when the folder exists afterwards.
bool createFolder(Files& files, const std::string& path);
// Creates every missing level; true when the folder exists afterwards.
bool createFolderPath(Files& files, const std::string& path);

}  // namespace zintor
