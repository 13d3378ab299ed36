#include "platform/linux/StderrLogSink.h"

#include <cstdio>
#include <ctime>

namespace zintor {
namespace {

std::string localTimeText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, format, &local);
    return text;
}

}  // namespace

std::string StderrLogSink::dateText() {
    return localTimeText("%Y-%m-%d");
}

std::string StderrLogSink::timeText() {
    return localTimeText("%H:%M:%S");
}

void StderrLogSink::diagnostic(const std::string& message) {
    std::fprintf(stderr, "zintor: %s\n", message.c_str());
    std::fflush(stderr);
}

}  // namespace zintor
