#pragma once

#include <QDBusConnection>
#include <optional>
#include <string>

namespace zintor {

// Who else uses a serial device, so that Zintor leaves it alone: opening a port another program
// holds would take lines from it (or it from us) and, for a modem, confuse both.
//
// A process that has the device open is found through /proc (every process of this user, all of
// them as root). ModemManager runs as root, so its file descriptors cannot be read: it is asked
// over the system bus which ports its modems use.
class PortHolder {
  public:
    explicit PortHolder(QDBusConnection systemBus = QDBusConnection::systemBus(),
                        std::string procFolder = "/proc");

    // "minicom (process 4242)" or "ModemManager" when another program holds `device` (a
    // canonical path); nothing when none does, as far as can be seen, and for pseudo-terminals,
    // which the program at their other end (a virtual phone) holds, too.
    std::optional<std::string> holderOf(const std::string& device) const;

  private:
    std::optional<std::string> processHolding(const std::string& device) const;
    bool modemManagerUses(const std::string& device) const;

    QDBusConnection bus_;
    std::string proc_;
};

}  // namespace zintor
