#include "core/program/PortFollower.h"

#include <algorithm>
#include <utility>

#include "core/link/Link.h"
#include "core/link/connection/PortList.h"
#include "core/link/transport/LinkTexts.h"

namespace zintor {

namespace {
// How long a report waits while a connection attempt runs before it is looked at again.
constexpr int kLookAgainMs = 500;

// A port whose label changed (a Bluetooth phone renamed) counts as another: the menu shows it anew.
bool samePort(const ComPortInfo& a, const ComPortInfo& b) {
    return a.port == b.port && a.device == b.device && a.kind == b.kind && a.label == b.label;
}

bool listed(const std::vector<ComPortInfo>& list, const ComPortInfo& port) {
    return std::any_of(list.begin(), list.end(),
                       [&](const ComPortInfo& p) { return samePort(p, port); });
}
}  // namespace

PortFollower::PortFollower(ProgramState& state, Ports& ports, Link& link)
    : state_(state), ports_(ports), link_(link) {}

PortFollower::~PortFollower() {
    stop();
}

void PortFollower::start() {
    seen_ = state_.portList;
    configured_ = state_.comPort;
    listening_ = true;
    ports_.registry.setChangeListener([this] { portsMayHaveChanged(); });
    probe_ = ports_.loop.startTimer(kProbeEveryMs, [this] { probe(); });
}

void PortFollower::stop() {
    ports_.loop.clearTimer(lookAgain_);
    ports_.loop.clearTimer(probe_);
    if (listening_) {
        listening_ = false;
        ports_.registry.setChangeListener({});
    }
}

Task<void> PortFollower::attempt(Task<void> work, bool portChosen) {
    {
        Attempt attempt(*this);
        co_await std::move(work);
    }
    if (portChosen) {
        notePortChosen();
    } else {
        noteConnection();
    }
}

void PortFollower::noteConnection() {
    if (state_.connected) {
        configured_ = state_.comPort;
    }
}

void PortFollower::notePortChosen() {
    configured_ = state_.comPort;
}

bool PortFollower::busy() const {
    // supervisionPaused: automatic connection or the supervision's reconnection runs.
    return attempts_ > 0 || state_.supervisionPaused;
}

void PortFollower::lookAgainLater() {
    if (!lookAgain_) {
        // The tick only calls a member: stopping the timer inside it ends the lambda.
        lookAgain_ = ports_.loop.startTimer(kLookAgainMs, [this] { lookAgainNow(); });
    }
}

void PortFollower::lookAgainNow() {
    ports_.loop.clearTimer(lookAgain_);
    portsMayHaveChanged();
}

void PortFollower::portsMayHaveChanged() {
    if (!listening_) {
        return;
    }
    if (busy()) {
        lookAgainLater();
        return;
    }
    noteConnection();
    link_.portChoice.enumerateComPorts();
    const std::vector<ComPortInfo> now = state_.portList;
    bool configuredAppeared = false;
    for (const ComPortInfo& port : now) {
        configuredAppeared =
            configuredAppeared || (port.port == configured_ && !listed(seen_, port));
    }
    const bool changed = now.size() != seen_.size() ||
                         !std::all_of(now.begin(), now.end(),
                                      [this](const ComPortInfo& p) { return listed(seen_, p); });
    seen_ = now;
    if (!changed) {
        return;
    }
    link_.portChoice.refreshComMenu();
    if (configuredAppeared && state_.autoConnect && !state_.connected) {
        link_.transport.start(connectConfigured());
    }
}

void PortFollower::probe() {
    if (!listening_ || busy() || state_.connected || !state_.autoConnect || !linkWanted_) {
        return;
    }
    // Asked afresh, beside the list the menu shows (a change report updates that one).
    const std::vector<RegisteredPort> now = ports_.registry.listPorts();
    const bool listed = std::any_of(now.begin(), now.end(), [this](const RegisteredPort& p) {
        return p.number == configured_;
    });
    if (listed && !ports_.registry.heldElsewhere(configured_)) {
        link_.transport.start(connectConfigured());
    }
}

Task<void> PortFollower::connectConfigured() {
    // Ports above the menu's last one cannot be opened as themselves.
    if (configured_ <= 0 || configured_ > kHighestOfferedPort) {
        co_return;
    }
    state_.comPort = configured_;
    {
        Attempt attempt(*this);
        // As for the automatic connection at start: a phone that does not answer does not start
        // the supervision's eleven tries.
        state_.supervisionPaused = true;
        if (co_await link_.connection.connectPhone()) {
            link_.log.write(link_texts::kAutoConnectMade);
        }
        state_.supervisionPaused = false;
    }
    if (listening_) {
        link_.portChoice.refreshComMenu();  // the check mark on the port in use
    }
}

}  // namespace zintor
