#pragma once

#include <QFileSystemWatcher>
#include <QTimer>
#include <functional>

#include "platform/linux/LinuxPortRegistry.h"

namespace zintor {

// Watches the folders the serial port numbering reads: the device folder, /dev/serial/by-id, the
// ports folder of pinned links and the folders those links point into (a folder that does not
// exist yet is watched through the nearest one that does). A burst of changes, as udev makes
// when a device is plugged in, is gathered for `gatherMs` and then reported once. The listener
// may be replaced or cleared from inside its own call.
class PortWatcher {
  public:
    static constexpr int kGatherMs = 300;

    explicit PortWatcher(PortRegistryPaths paths, int gatherMs = kGatherMs);
    ~PortWatcher();
    PortWatcher(const PortWatcher&) = delete;
    PortWatcher& operator=(const PortWatcher&) = delete;

    // Watching while there is a listener.
    void setListener(std::function<void()> changed);

  private:
    void arm();

    PortRegistryPaths paths_;
    std::function<void()> changed_;
    QFileSystemWatcher watcher_;
    QTimer gather_;
};

}  // namespace zintor
