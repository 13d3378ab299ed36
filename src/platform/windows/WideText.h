#pragma once

#include <string>
#include <string_view>

namespace zintor {

// UTF-8 (the program's text) to and from UTF-16 (the system's). Invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// The system's message for an error code ("Access is denied"), without its final full stop.
std::string SystemErrorText(unsigned long code);

}  // namespace zintor
