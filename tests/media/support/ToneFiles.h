#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

namespace zintor::testing {

// Writes a mono 8 kHz 16-bit WAV file of `seconds` of a sine tone. With a `title`, a 128-byte
// MP3 tag ("TAG", title, artist "Zintor") follows the sound, where the program looks for it.
inline void writeTone(const std::string& path, int seconds, int frequency,
                      const std::string& title = {}) {
    constexpr std::uint32_t kRate = 8000;
    const std::uint32_t samples = kRate * static_cast<std::uint32_t>(seconds);
    // "RIFF", size, "WAVE", "fmt ", 16, PCM and mono, rate, bytes a second, 2-byte samples of
    // 16 bits, "data", size: as little-endian words.
    const std::uint32_t header[] = {0x46464952, 36 + samples * 2, 0x45564157, 0x20746d66,
                                    16,         0x00010001,       kRate,      kRate * 2,
                                    0x00100002, 0x61746164,       samples * 2};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const auto sample =
            static_cast<std::int16_t>(6000.0 * std::sin(2.0 * M_PI * frequency * i / kRate));
        out.write(reinterpret_cast<const char*>(&sample), 2);
    }
    if (!title.empty()) {
        std::string tag = "TAG" + title;
        tag.resize(33, ' ');
        tag += "Zintor";
        tag.resize(128, '\0');
        out << tag;
    }
}

}  // namespace zintor::testing
