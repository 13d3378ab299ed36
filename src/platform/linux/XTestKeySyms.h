#pragma once

#include <cstdint>

namespace zintor {

// The X key symbol that stands for a Windows virtual-key code, or 0 (NoSymbol) when the code has
// none. Letters map to their lower-case symbols and digits to the digit symbols: the key is meant,
// not the character, exactly as the virtual-key codes mean keys.
unsigned long xTestKeySymForVirtualKey(std::uint8_t vk);

// The key symbol that types `character` (its legacy symbol where X has one, "é" eacute, "€"
// EuroSign, else the Unicode symbol); 0 for control characters and for what is no character.
unsigned long keySymForCharacter(char32_t character);

}  // namespace zintor
