#pragma once

#include <string>
#include <string_view>

namespace zintor {

// UTF-8 (the program's text) to and from UTF-16 (the system's). Invalid sequences become U+FFFD.
std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

// The system's message for an error code ("Access is denied"), without its final full stop.
std::string systemErrorText(unsigned long code);

}  // namespace zintor
