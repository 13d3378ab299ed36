#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zintor {

// Numbers as the settings store keeps them: plain decimal text.

// A 16-bit signed integer; blanks around it are allowed. Nothing for any other text.
std::optional<std::int16_t> ParseInt16(std::string_view text);
// A finite single-precision number ("1440", "-12.5", "1e3"); blanks around it are allowed.
std::optional<float> ParseSingle(std::string_view text);
// The shortest decimal text that reads back as the same value; whole numbers have no point.
std::string FormatSingle(float value);

// Value names of the application slots: "AppName 3", "AppPath 3" (with the space).
std::string AppNameValue(int slot);
std::string AppPathValue(int slot);

}  // namespace zintor
