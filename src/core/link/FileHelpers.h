#pragma once

#include <string>
#include <string_view>

#include "ports/Files.h"

namespace zintor {

// Small path helpers. Path texts are taken apart at `separator` (Files::separator()).

struct SplitName {
    std::string BaseName;
    std::string Extension;
};

// The path up to and including its last separator; empty when it has none.
std::string GetFolderPath(std::string_view path, char separator);

// The last path element split at its first dot ("b.c.mp3" gives "b" and "c.mp3"). Without a dot
// the whole element is the base name and the extension is empty.
SplitName SplitFileName(std::string_view path, char separator);

// A file or folder of that name exists (the last element compared ignoring case).
bool FileExists(Files& files, const std::string& path);
bool FolderExists(Files& files, const std::string& path);
// Creates the last level only; true when the folder exists afterwards.
bool CreateFolder(Files& files, const std::string& path);
// Creates every missing level; true when the folder exists afterwards.
bool CreateFolderPath(Files& files, const std::string& path);
// The platform's system folder, without a trailing separator.
std::string GetSystemFolder(Files& files);

}  // namespace zintor
