// Typing speed of the real input path: the core's typeText through the XTest adapter into a
// private Xvfb. Prints characters per second, both as handed to the X server and as delivered by
// it (the last key event seen by a recording client).
//
//   zintor_input_bench [characters] [runs]      (default 10000 characters, 5 runs)
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "InputRecorder.h"
#include "PrivateXServer.h"
#include "core/control/InputSynthesis.h"
#include "platform/linux/XTestKeyboardMouse.h"

namespace {

using Clock = std::chrono::steady_clock;

// Text as people type it: capitals, small letters, digits, blanks and punctuation, and a character
// the US layout lacks (typed on a borrowed key code).
std::string sampleText(std::size_t length) {
    const std::string phrase = "The quick brown Fox jumps over 13 lazy Dogs, 2024 times! \u00e9 ";
    std::string text;
    while (text.size() < length) {
        text += phrase;
    }
    text.resize(length);
    return text;
}

// Key events the X server delivers for `text` on the US layout: 2 per character, 2 more for
// Shift.
std::size_t expectedEvents(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {  // the first byte of a character
            count += std::isupper(c) || c == '!' ? 4 : 2;
        }
    }
    return count;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t characters = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;

    zintor::testing::PrivateXServer server;
    if (!server.start()) {
        std::fprintf(stderr, "no X server: Xvfb cannot be started and DISPLAY is not usable\n");
        return 1;
    }
    zintor::XTestKeyboardMouse input({}, server.display());
    zintor::InputSynthesis synthesis(input);
    zintor::testing::InputRecorder recorder(server.display());
    if (!recorder.ok()) {
        std::fprintf(stderr, "the X server has no XInput 2.2\n");
        return 1;
    }

    const std::string text = sampleText(characters);
    const std::size_t events = expectedEvents(text);
    synthesis.typeText("warm up");
    recorder.take(expectedEvents("warm up"));

    std::vector<double> sent, delivered;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        synthesis.typeText(text);
        const auto handed = Clock::now();
        const std::size_t seen = recorder.take(events, std::chrono::seconds(60)).size();
        const auto arrived = Clock::now();
        if (seen != events) {
            std::fprintf(stderr, "run %d: %zu key events delivered, %zu expected\n", run, seen,
                         events);
            return 1;
        }
        sent.push_back(characters / std::chrono::duration<double>(handed - start).count());
        delivered.push_back(characters / std::chrono::duration<double>(arrived - start).count());
        std::printf(
            "run %d: %zu characters (%zu key events): %.0f chars/s handed to X, %.0f "
            "chars/s delivered\n",
            run + 1, characters, events, sent.back(), delivered.back());
    }
    std::printf(
        "TypeText %zu characters on %s: median %.0f chars/s delivered (%.0f handed to X); "
        "target >= 2000\n",
        characters, server.shared() ? "the session's X server" : "a private Xvfb",
        median(delivered), median(sent));
    return 0;
}
