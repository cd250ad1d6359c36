#pragma once
// The one table from a keysym to a virtual key.

#include <cstdint>

namespace sdxcb {

// The virtual key for a keysym of the current layout (0: none). Letters and digits map by
// their unshifted Latin symbol.
int virtualKeyOf(uint32_t keysym);
// The virtual key of a key by its place on a PC keyboard (X key code of the evdev driver),
// for keys whose symbol names none: letters of other scripts, punctuation (VK_OEM_*).
int virtualKeyAt(uint32_t keycode);
// Whether the key is one of the extended keys of a PC keyboard (lParam bit 24).
bool extendedKeyAt(uint32_t keycode);

} // namespace sdxcb
