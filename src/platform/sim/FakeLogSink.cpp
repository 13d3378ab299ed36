#include "platform/sim/FakeLogSink.h"

#include <cstdio>

namespace zintor {

std::string FakeLogSink::timeText() {
    std::int64_t seconds = (startSeconds_ + loop_.now() / 1000) % (24 * 3600);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

}  // namespace zintor
