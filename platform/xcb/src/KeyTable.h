#pragma once
// The one table from a keysym to a virtual key.

#include <cstdint>

namespace sdxcb {

// The virtual key for a keysym of the current layout (0: none). Letters and digits map by
// their unshifted Latin symbol.
int virtualKeyOf(uint32_t keysym);

} // namespace sdxcb
