#include "platform/linux/PortWatcher.h"

#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace zintor {
namespace {

// The folder itself, or the nearest folder above it that exists (its creation shows there).
fs::path existingFolder(fs::path folder) {
    std::error_code ec;
    while (!folder.empty() && !fs::is_directory(folder, ec)) {
        const fs::path parent = folder.parent_path();
        if (parent == folder) {
            return {};
        }
        folder = parent;
    }
    return folder;
}

}  // namespace

PortWatcher::PortWatcher(PortRegistryPaths paths, int gatherMs) : paths_(std::move(paths)) {
    gather_.setSingleShot(true);
    gather_.setInterval(gatherMs);
    QObject::connect(&gather_, &QTimer::timeout, &gather_, [this] {
        if (!changed_) {
            return;
        }
        arm();                                           // folders may have come or gone
        const std::function<void()> changed = changed_;  // it may replace the listener
        changed();
    });
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_, [this] {
        if (changed_ && !gather_.isActive()) {
            gather_.start();
        }
    });
}

void PortWatcher::setListener(std::function<void()> changed) {
    changed_ = std::move(changed);
    if (changed_) {
        arm();
        return;
    }
    gather_.stop();
    if (!watcher_.directories().isEmpty()) {
        watcher_.removePaths(watcher_.directories());
    }
}

PortWatcher::~PortWatcher() = default;

void PortWatcher::arm() {
    std::set<fs::path> wanted{paths_.devFolder, paths_.byIdFolder, paths_.portsFolder};
    std::error_code ec;
    for (fs::directory_iterator it(paths_.portsFolder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (!linkError) {
            wanted.insert((fs::path(paths_.portsFolder) / target).parent_path());
        }
    }
    QStringList folders;
    for (const fs::path& folder : wanted) {
        const fs::path existing = existingFolder(folder.lexically_normal());
        if (!existing.empty()) {
            folders.append(QString::fromStdString(existing.string()));
        }
    }
    folders.removeDuplicates();
    const QStringList watched = watcher_.directories();
    for (const QString& folder : watched) {
        if (!folders.contains(folder)) {
            watcher_.removePath(folder);
        }
    }
    for (const QString& folder : folders) {
        if (!watched.contains(folder)) {
            watcher_.addPath(folder);
        }
    }
}

}  // namespace zintor
