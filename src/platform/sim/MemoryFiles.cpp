#include "platform/sim/MemoryFiles.h"

#include <algorithm>
#include <cctype>

namespace zintor {

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

MemoryFiles::MemoryFiles() {
    folders_.insert("/");
    setFolder(KnownFolder::kProgram, "/opt/zintor");
    setFolder(KnownFolder::kConfig, "/home/user/.config/Zintor");
    setFolder(KnownFolder::kLog, "/home/user/.local/state/Zintor/log");
    setFolder(KnownFolder::kSystem, "/usr/lib");
    setFolder(KnownFolder::kData, "/usr/share/zintor");
}

std::string MemoryFiles::parentOf(const std::string& path) {
    std::string p = trimmed(path);
    auto slash = p.rfind('/');
    if (slash == std::string::npos) {
        return "";
    }
    return slash == 0 ? "/" : p.substr(0, slash);
}

std::string MemoryFiles::folder(KnownFolder which) {
    return known_[which];
}

void MemoryFiles::setFolder(KnownFolder which, const std::string& path) {
    known_[which] = path;
    addFolder(path);
}

void MemoryFiles::addFolder(const std::string& path) {
    std::string p = trimmed(path);
    while (!p.empty() && folders_.insert(p).second) {
        p = parentOf(p);
    }
}

void MemoryFiles::putFile(const std::string& path, std::string contents) {
    std::string parent = parentOf(path);
    if (!parent.empty()) {
        addFolder(parent);
    }
    files_[path] = std::move(contents);
}

void MemoryFiles::remove(const std::string& path) {
    files_.erase(path);
    folders_.erase(trimmed(path));
}

std::string MemoryFiles::contents(const std::string& path) const {
    auto it = files_.find(path);
    return it == files_.end() ? std::string() : it->second;
}

bool MemoryFiles::matchesIgnoringLastCase(const std::string& a, const std::string& b) const {
    return parentOf(a) == parentOf(b) && lower(trimmed(a)) == lower(trimmed(b));
}

bool MemoryFiles::exists(const std::string& path) {
    for (const auto& [name, data] : files_) {
        if (matchesIgnoringLastCase(name, path)) {
            return true;
        }
    }
    return folderExists(path);
}

bool MemoryFiles::folderExists(const std::string& path) {
    for (const std::string& name : folders_) {
        if (matchesIgnoringLastCase(name, path)) {
            return true;
        }
    }
    return false;
}

bool MemoryFiles::createFolder(const std::string& path) {
    std::string p = trimmed(path);
    if (folderExists(p)) {
        return true;
    }
    if (uncreatable_.count(p) != 0 || files_.count(p) != 0 || !folderExists(parentOf(p))) {
        return false;
    }
    folders_.insert(p);
    return true;
}

bool MemoryFiles::readable(const std::string& path) const {
    return files_.count(path) != 0 && unreadable_.count(path) == 0;
}

bool MemoryFiles::readText(const std::string& path, std::string& out) {
    if (!readable(path)) {
        return false;
    }
    out = files_.at(path);
    return true;
}

bool MemoryFiles::readLast128(const std::string& path, std::string& out) {
    if (!readable(path) || files_.at(path).size() < 128) {
        return false;
    }
    const std::string& data = files_.at(path);
    out = data.substr(data.size() - 128);
    return true;
}

bool MemoryFiles::appendLine(const std::string& path, const std::string& line) {
    if (unwritable_.count(path) != 0 || folders_.count(trimmed(path)) != 0 ||
        folders_.count(parentOf(path)) == 0) {
        return false;
    }
    files_[path] += line + "\r\n";
    return true;
}

}  // namespace zintor
