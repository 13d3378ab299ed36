#pragma once

#include <QObject>
#include <cstdint>
#include <vector>

struct _GMainContext;
struct _GPollFD;

namespace zintor {

// One pass of the GLib main context under Qt's event dispatcher, made by hand: what Qt's
// processEvents does (the dispatcher's aboutToBlock and awake signals, then GLib's prepare, poll,
// check and dispatch), except that the poll ends at a time of the caller's at the latest. A wait
// for a deadline therefore needs no timer of its own.
//
// A loop that waits many times a second with nothing happening (a held cursor key: a pause of a
// few milliseconds after each step) makes most of its passes quiet: a bare poll of the file
// descriptors the last full pass asked for, without GLib's and Qt's preparing and checking. A
// quiet pass is made only
// - right after a pass of this object (less than a millisecond ago) that handled nothing, with no
//   other pass of the dispatcher and no timer started through the loop in between,
// - up to GLib's own next timeout (the next Qt timer) and at most 50 ms after the last full pass.
// Anything that becomes ready (data, a posted event, a thread waking the loop, a descriptor added
// or removed) ends it and a full pass follows at once. What it can miss is a Qt timer or a GLib
// source without descriptor that code outside any event handler starts within that millisecond:
// those run late by at most the quiet pass, 50 ms.
class GlibPass {
  public:
    // For the calling thread's dispatcher; available() tells whether it runs on GLib.
    GlibPass();
    ~GlibPass();
    GlibPass(const GlibPass&) = delete;
    GlibPass& operator=(const GlibPass&) = delete;

    bool available() const { return context_ != nullptr; }
    // Handles the events that are ready, waiting at most `timeoutMs` (0: not at all) for some to
    // be. False, having done nothing, when another thread owns the context.
    bool run(int timeoutMs);
    // The next pass is a full one (a timer was started that GLib cannot know of yet).
    void forgetQuiet() { quiet_ = false; }

  private:
    bool runQuietly(std::int64_t start, int timeoutMs);
    void runFully(int timeoutMs);

    _GMainContext* context_ = nullptr;
    std::vector<_GPollFD> fds_;  // of the last full pass (nested passes share it: see runFully)
    int count_ = 0;
    bool quiet_ = false;              // the last pass handled nothing
    std::int64_t endedAt_ = 0;        // when the last pass ended, µs of GLib's monotonic clock
    std::int64_t fullAt_ = 0;         // when the last full pass polled
    std::int64_t glibTimeoutAt_ = 0;  // GLib's own next timeout as of the last full pass
    QObject watch_;                   // receives the dispatcher's awake signal
};

}  // namespace zintor
