#include "platform/linux/PulseMixer.h"

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/mainloop.h>
#include <pulse/volume.h>

#include "platform/linux/PulseVolumeScale.h"

namespace zintor {

namespace {

constexpr std::chrono::milliseconds kConnectLimit{500};
constexpr std::chrono::milliseconds kRequestLimit{300};

struct SinkQuery {
    bool found = false;
    std::string name;
    std::uint8_t channels = 0;
    pa_volume_t volume = PA_VOLUME_MUTED;
};

void onServerInfo(pa_context*, const pa_server_info* info, void* userdata) {
    if (info != nullptr && info->default_sink_name != nullptr) {
        *static_cast<std::string*>(userdata) = info->default_sink_name;
    }
}

void onSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* userdata) {
    if (eol != 0 || info == nullptr) {
        return;
    }
    auto& query = *static_cast<SinkQuery*>(userdata);
    query.found = true;
    query.name = info->name;
    query.channels = info->volume.channels;
    query.volume = pa_cvolume_max(&info->volume);
}

void onSuccess(pa_context*, int success, void* userdata) {
    *static_cast<bool*>(userdata) = success != 0;
}

}  // namespace

PulseMixer::PulseMixer(std::string server) : server_(std::move(server)) {}

PulseMixer::~PulseMixer() {
    disconnect();
}

bool PulseMixer::connected() const {
    return context_ != nullptr && pa_context_get_state(context_) == PA_CONTEXT_READY;
}

void PulseMixer::disconnect() {
    if (context_ != nullptr) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (loop_ != nullptr) {
        pa_mainloop_free(loop_);
        loop_ = nullptr;
    }
    sinkName_.clear();
    channels_ = 0;
}

template <typename Done>
bool PulseMixer::runUntil(Done done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) {
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0 ||
            pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0) {
            return false;
        }
    }
    return true;
}

bool PulseMixer::await(pa_operation* operation) {
    if (operation == nullptr) {
        return false;
    }
    const bool finished =
        runUntil([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; },
                 kRequestLimit);
    if (!finished) {
        pa_operation_cancel(operation);
    }
    pa_operation_unref(operation);
    if (!finished && !connected()) {
        disconnect();
    }
    return finished;
}

bool PulseMixer::open() {
    if (connected()) {
        return true;
    }
    disconnect();
    loop_ = pa_mainloop_new();
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Zintor");
    if (context_ == nullptr ||
        pa_context_connect(context_, server_.empty() ? nullptr : server_.c_str(),
                           PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        !runUntil([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; },
                  kConnectLimit)) {
        disconnect();
        return false;
    }
    return true;
}

bool PulseMixer::findMasterVolume() {
    if (!open()) {
        return false;
    }
    // The default sink is looked up every time: the user may have switched outputs.
    std::string defaultSink;
    if (!await(pa_context_get_server_info(context_, onServerInfo, &defaultSink)) ||
        defaultSink.empty()) {
        return false;
    }
    SinkQuery query;
    if (!await(
            pa_context_get_sink_info_by_name(context_, defaultSink.c_str(), onSinkInfo, &query)) ||
        !query.found || query.channels == 0) {
        return false;
    }
    sinkName_ = query.name;
    channels_ = query.channels;
    return true;
}

bool PulseMixer::getVolume(std::uint32_t& value) {
    if ((!connected() || sinkName_.empty()) && !findMasterVolume()) {
        return false;
    }
    SinkQuery query;
    if (!await(pa_context_get_sink_info_by_name(context_, sinkName_.c_str(), onSinkInfo, &query)) ||
        !query.found) {
        return false;
    }
    value = pulseLevelFromVolume(query.volume);
    return true;
}

bool PulseMixer::setVolume(std::uint32_t value) {
    if ((!connected() || sinkName_.empty()) && !findMasterVolume()) {
        return false;
    }
    pa_cvolume volume;
    pa_cvolume_set(&volume, channels_, pulseVolumeFromLevel(value));
    bool success = false;
    return await(pa_context_set_sink_volume_by_name(context_, sinkName_.c_str(), &volume, onSuccess,
                                                    &success)) &&
           success;
}

}  // namespace zintor
