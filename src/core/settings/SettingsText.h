#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zintor {

// Numbers as the settings store keeps them: plain decimal text.

// A 16-bit signed integer; blanks around it are allowed. Nothing for any other text.
std::optional<std::int16_t> parseInt16(std::string_view text);
// A finite single-precision number ("1440", "-12.5", "1e3"); blanks around it are allowed.
std::optional<float> parseSingle(std::string_view text);
// The shortest decimal text that reads back as the same value; whole numbers have no point.
std::string formatSingle(float value);

// Value names of the application slots: "appName 3", "appPath 3" (with the space).
std::string appNameValue(int slot);
std::string appPathValue(int slot);

}  // namespace zintor
