#pragma once
// The characters the display gave with the key presses it routed, for TranslateMessage.

#include "win32/user.h"

namespace sduser {

// The ANSI character of a key message routed with one (-1: none given, -2: no character at
// all). Taking it forgets it.
int takeKeyCharacter(const MSG& key);

} // namespace sduser
