#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "core/ports/LogSink.h"

struct _XDisplay;

namespace zintor {

// The connection of the input adapter to the X server. It is opened on first use, reopened at
// most once a second after a failure, and survives the server going away: Xlib would otherwise
// end the whole program on a broken connection.
class XTestConnection {
  public:
    // An empty display name means the DISPLAY environment variable.
    XTestConnection(Diagnostic diagnostic, std::string displayName);
    ~XTestConnection();
    XTestConnection(const XTestConnection&) = delete;
    XTestConnection& operator=(const XTestConnection&) = delete;

    // The open display with the XTEST extension, or nullptr (the reason is reported once).
    // Handles pending keyboard-mapping changes before returning.
    _XDisplay* display();
    // The same for pointer input, which needs no layout: without reading from the server.
    _XDisplay* pointerDisplay();
    // Sends what was queued and notices a broken connection.
    void flush();
    // The same for requests made through the display's xcb connection.
    void flushXcb();
    // Says `message` through the diagnostic callback (standard error when there is none).
    void report(const std::string& message) const;
    // Counts keyboard-mapping changes seen so far.
    unsigned mappingChanges() const { return mappingChanges_; }

    bool isOpen() const { return display_ != nullptr; }
    void markLost() { lost_ = true; }
    bool owns(const _XDisplay* display) const { return display == display_; }

  private:
    bool open();
    // Connects; "" on success, else why not.
    std::string connect();
    void close();
    void closeIfLost();
    void watchLayout();
    void handleEvents();

    Diagnostic diagnostic_;
    std::string displayName_;
    _XDisplay* display_ = nullptr;
    bool lost_ = false;
    bool failureReported_ = false;
    unsigned mappingChanges_ = 0;
    int xkbEventBase_ = -1;
    std::chrono::steady_clock::time_point nextAttempt_{};
};

}  // namespace zintor
