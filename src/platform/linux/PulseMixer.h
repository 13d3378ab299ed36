#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "core/ports/Mixer.h"

struct pa_mainloop;
struct pa_context;
struct pa_operation;

namespace zintor {

// The master volume on a PulseAudio server (PipeWire's pulse server included): mixer device 0 is
// the server, its master line the default sink. All channels of the sink get the same volume.
// Every call waits at most a fraction of a second for the server; without a server open() fails
// and the next call tries again.
class PulseMixer final : public Mixer {
  public:
    // An empty server means the session's own (PULSE_SERVER or the user's runtime folder).
    explicit PulseMixer(std::string server = {});
    ~PulseMixer() override;
    PulseMixer(const PulseMixer&) = delete;
    PulseMixer& operator=(const PulseMixer&) = delete;

    bool open() override;
    bool findMasterVolume() override;
    bool getVolume(std::uint32_t& value) override;
    bool setVolume(std::uint32_t value) override;

  private:
    bool connected() const;
    void disconnect();
    // Runs the main loop until `done` holds, the connection fails or `limit` has passed.
    template <typename Done>
    bool runUntil(Done done, std::chrono::milliseconds limit);
    // Waits for a request to finish; false when it did not in time (it is then cancelled).
    bool await(pa_operation* operation);

    std::string server_;
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    std::string sinkName_;
    std::uint8_t channels_ = 0;
};

}  // namespace zintor
