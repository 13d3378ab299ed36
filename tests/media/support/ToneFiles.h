#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

namespace zintor::testing {

// Writes a mono 8 kHz WAV file of `seconds` of a sine tone. With a `title`, a 128-byte MP3 tag
// ("TAG", title, artist "Zintor") follows the sound, where the program looks for it.
inline void writeTone(const std::string& path, int seconds, int frequency,
                      const std::string& title = {}) {
    constexpr std::uint32_t kRate = 8000;
    const std::uint32_t samples = kRate * static_cast<std::uint32_t>(seconds);
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    u32(36 + samples * 2);
    out << "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out << "data";
    u32(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double phase = 2.0 * M_PI * frequency * i / kRate;
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(6000.0 * std::sin(phase))));
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
