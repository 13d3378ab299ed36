#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zintor {

// The number a WAIT value stands for, read the way key-map files have always been read:
// - blanks, tabs and line feeds anywhere in the text are ignored (a carriage return is not);
// - then an optional sign, decimal digits with an optional point and fraction, and an optional
//   exponent ("E" and a signed integer); or, after "&H" or "&O", hexadecimal or octal digits;
// - reading stops at the first other character; no digits at all gives 0;
// - the number is rounded to the nearest integer, halves to the even neighbour.
// Letters in "E", "&H" and "&O" may be written in either case.
// Nothing when the rounded number does not fit a 32-bit signed integer.
std::optional<std::int32_t> leadingNumber(std::string_view text);

}  // namespace zintor
