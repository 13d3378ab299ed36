#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zintor {

// A key-map file of about `bytes` bytes shaped like a real one: a commented header, then key
// maps of ten to sixteen keys, each key with a HELP text and one to four commands of every
// type, a comment before each key map, and the eight USB output names at the end. The same
// seed gives the same text.
std::string generateKeyMapText(std::size_t bytes, std::uint32_t seed = 1);

// How many KEYMAP elements generateKeyMapText(bytes, seed) wrote.
std::size_t generatedKeyMapCount(const std::string& text);

}  // namespace zintor
