#include "GlibPass.h"

#include <glib.h>

#include <QAbstractEventDispatcher>
#include <algorithm>
#include <limits>

namespace zintor {

namespace {

constexpr std::int64_t kQuietGapUs = 1000;
constexpr std::int64_t kQuietSpanUs = 50'000;
constexpr std::int64_t kNoTimeout = std::numeric_limits<std::int64_t>::max();

// Gives the context back however the pass ends.
struct Owner {
    explicit Owner(GMainContext* context) : context_(context) {}
    ~Owner() { g_main_context_release(context_); }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    GMainContext* context_;
};

}  // namespace

GlibPass::GlibPass() {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher != nullptr && dispatcher->inherits("QEventDispatcherGlib")) {
        // The context Qt's dispatcher runs on: the default one on the main thread, else the
        // thread's own.
        context_ = g_main_context_ref_thread_default();
        fds_.resize(16);
        // Every pass of the dispatcher, Qt's own or a full one of ours, says so: whatever ran in
        // it may have changed what is to be watched.
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &watch_,
                         [this] { quiet_ = false; });
    }
}

GlibPass::~GlibPass() {
    if (context_ != nullptr) {
        g_main_context_unref(context_);
    }
}

bool GlibPass::run(int timeoutMs) {
    if (context_ == nullptr || !g_main_context_acquire(context_)) {
        return false;
    }
    // Owned while polling, so that another thread adding a source to the context wakes the poll.
    Owner owner(context_);
    const std::int64_t start = g_get_monotonic_time();
    if (!runQuietly(start, timeoutMs)) {
        runFully(timeoutMs);
    }
    endedAt_ = g_get_monotonic_time();
    return true;
}

bool GlibPass::runQuietly(std::int64_t start, int timeoutMs) {
    const std::int64_t until = std::min(glibTimeoutAt_, fullAt_ + kQuietSpanUs);
    if (!quiet_ || start - endedAt_ >= kQuietGapUs ||
        start + std::int64_t{timeoutMs} * 1000 >= until) {
        return false;
    }
    for (int i = 0; i < count_; ++i) {
        fds_[static_cast<std::size_t>(i)].revents = 0;
    }
    if (g_main_context_get_poll_func(context_)(fds_.data(), static_cast<guint>(count_),
                                               timeoutMs) == 0) {
        return true;
    }
    runFully(0);  // something is ready: handle it now
    return true;
}

void GlibPass::runFully(int timeoutMs) {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    const bool mayBlock = timeoutMs > 0;
    // As the dispatcher's processEvents: platform plugins flush their requests on these.
    if (mayBlock) {
        emit dispatcher->aboutToBlock();
    } else {
        emit dispatcher->awake();
    }
    gint priority = 0;
    g_main_context_prepare(context_, &priority);
    gint timeout = 0;
    gint count = 0;
    while ((count = g_main_context_query(context_, priority, &timeout, fds_.data(),
                                         static_cast<gint>(fds_.size()))) >
           static_cast<gint>(fds_.size())) {
        fds_.resize(static_cast<std::size_t>(count));
    }
    fullAt_ = g_get_monotonic_time();
    glibTimeoutAt_ = timeout < 0 ? kNoTimeout : fullAt_ + std::int64_t{timeout} * 1000;
    count_ = count;
    g_main_context_get_poll_func(context_)(fds_.data(), static_cast<guint>(count),
                                           timeout < 0 ? timeoutMs : std::min(timeout, timeoutMs));
    const bool ready = g_main_context_check(context_, priority, fds_.data(), count);
    if (ready) {
        // Handlers may make passes of their own, which reuse fds_; this pass is not quiet, so
        // its descriptors are not needed afterwards.
        g_main_context_dispatch(context_);
    }
    if (mayBlock) {
        emit dispatcher->awake();
    }
    quiet_ = !ready;
}

}  // namespace zintor
