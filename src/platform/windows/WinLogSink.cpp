#include "platform/windows/WinLogSink.h"

#include <windows.h>

#include <cstdio>

#include "platform/windows/WideText.h"

namespace zintor {

std::string WinLogSink::dateText() {
    wchar_t text[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, 64);
    return wideToUtf8(text);
}

std::string WinLogSink::timeText() {
    wchar_t text[64] = {};
    GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, 64);
    return wideToUtf8(text);
}

void WinLogSink::diagnostic(const std::string& message) {
    const std::string line = "zintor: " + message + "\n";
    OutputDebugStringW(utf8ToWide(line).c_str());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace zintor
