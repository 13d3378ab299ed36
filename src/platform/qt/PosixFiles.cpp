#include "platform/qt/PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QStandardPaths>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace zintor {
namespace {

std::string envOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    // XDG base directories must be absolute; a relative one is ignored.
    return value != nullptr && value[0] == '/' ? std::string(value) : fallback;
}

std::string executableFolder() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath().toStdString();
    }
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return ".";
    }
    std::string path(buffer, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

// Splits "/a/b/c" into "/a/b" and "c"; a path without "/" has the current folder as parent.
void splitPath(const std::string& path, std::string& parent, std::string& last) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos) {
        parent = ".";
        last = trimmed;
    } else {
        parent = slash == 0 ? "/" : trimmed.substr(0, slash);
        last = trimmed.substr(slash + 1);
    }
}

// The path of the entry the program means: the path itself when it exists, else the entry of
// its folder whose name equals the last element ignoring case.
std::optional<std::string> findIgnoringCase(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return path;
    }
    std::string parent;
    std::string last;
    splitPath(path, parent, last);
    if (last.empty() || last == "." || last == "..") {
        return std::nullopt;
    }
    DIR* dir = ::opendir(parent.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    while (dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, last.c_str()) == 0) {
            found = (parent == "/" ? "" : parent) + "/" + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool readAll(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in || isFolder(path)) {
        return false;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return false;
    }
    out = std::move(text);
    return true;
}

}  // namespace

PosixFiles::PosixFiles() : PosixFiles(systemFolders()) {}

PosixFiles::PosixFiles(FolderPaths folders) : folders_(std::move(folders)) {
    const FolderPaths defaults = systemFolders();
    for (auto [field, fallback] :
         {std::pair{&folders_.program, &defaults.program},
          std::pair{&folders_.config, &defaults.config}, std::pair{&folders_.log, &defaults.log},
          std::pair{&folders_.system, &defaults.system},
          std::pair{&folders_.data, &defaults.data}}) {
        if (field->empty()) {
            *field = *fallback;
        }
    }
}

FolderPaths PosixFiles::systemFolders() {
    const std::string home = envOr("HOME", "/tmp");
    FolderPaths f;
    f.program = executableFolder();
    f.config =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() +
        "/Zintor";
    f.log = envOr("XDG_STATE_HOME", home + "/.local/state") + "/Zintor/log";
    // Shared libraries of the system (drivers are looked for here).
    f.system = "/usr/lib";
    // Set by the build from the install layout ("../share/zintor"), so any prefix works.
    f.data =
        (std::filesystem::path(f.program) / ZINTOR_DATA_FROM_PROGRAM).lexically_normal().string();
    return f;
}

std::string PosixFiles::folder(KnownFolder which) {
    switch (which) {
        case KnownFolder::kProgram:
            return folders_.program;
        case KnownFolder::kConfig:
            return folders_.config;
        case KnownFolder::kLog: {
            // The log folder itself is created by the program (one level, as on any system);
            // the folders above it are ours to provide, like the program folder elsewhere.
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(folders_.log).parent_path(),
                                                ec);
            return folders_.log;
        }
        case KnownFolder::kSystem:
            return folders_.system;
        case KnownFolder::kData:
            return folders_.data;
    }
    return {};
}

bool PosixFiles::exists(const std::string& path) {
    return findIgnoringCase(path).has_value();
}

bool PosixFiles::folderExists(const std::string& path) {
    const std::optional<std::string> found = findIgnoringCase(path);
    return found && isFolder(*found);
}

bool PosixFiles::createFolder(const std::string& path) {
    if (folderExists(path)) {
        return true;
    }
    ::mkdir(path.c_str(), 0777);  // the umask decides
    return folderExists(path);
}

bool PosixFiles::readText(const std::string& path, std::string& out) {
    const std::optional<std::string> found = findIgnoringCase(path);
    return found && readAll(*found, out);
}

bool PosixFiles::readLast128(const std::string& path, std::string& out) {
    const std::optional<std::string> found = findIgnoringCase(path);
    if (!found || isFolder(*found)) {
        return false;
    }
    std::ifstream in(*found, std::ios::binary | std::ios::ate);
    if (!in) {
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 128) {
        return false;
    }
    std::string tail(128, '\0');
    in.seekg(size - 128);
    if (!in.read(tail.data(), 128)) {
        return false;
    }
    out = std::move(tail);
    return true;
}

bool PosixFiles::appendLine(const std::string& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    // One write, so that a line is never interleaved with another writer's.
    const std::string data = line + "\r\n";
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0;
}

}  // namespace zintor
