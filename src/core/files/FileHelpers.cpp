#include "core/files/FileHelpers.h"

namespace zintor {

SplitName splitFileName(std::string_view path, char separator) {
    const auto last = path.rfind(separator);
    const std::string_view element = last == std::string_view::npos ? path : path.substr(last + 1);
    const auto dot = element.find('.');
    if (dot == std::string_view::npos) {
        return {std::string(element), {}};
    }
    return {std::string(element.substr(0, dot)), std::string(element.substr(dot + 1))};
}

bool fileExists(Files& files, const std::string& path) {
    return files.exists(path);
}

bool folderExists(Files& files, const std::string& path) {
    return files.folderExists(path);
}

bool createFolder(Files& files, const std::string& path) {
    return files.folderExists(path) || files.createFolder(path);
}

bool createFolderPath(Files& files, const std::string& path) {
    const char separator = files.separator();
    // Levels that cannot be made (a drive, a root) are left to the last level's answer.
    for (auto at = path.find(separator, 1); at != std::string::npos;
         at = path.find(separator, at + 1)) {
        createFolder(files, path.substr(0, at));
    }
    return createFolder(files, path);
}

}  // namespace zintor
