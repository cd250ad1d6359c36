#pragma once
// Character codes and strings: a code is a byte value, or on a double-byte system the first
// byte in the high byte and the second in the low byte.

#include <cstdint>

#include "mfc/CString.h"

// Nothing for code 0. On a double-byte system a code with a high byte adds two bytes (high,
// low); otherwise the low byte only.
void AppendCharCode(CString& s, std::uint16_t code);

// The code at pos, pos moved past it; 0 at or past the end. A first byte of a double-byte
// character takes the next byte with it; at the very end it stands alone.
std::uint16_t GetNextCharCode(const CString& s, int& pos);
