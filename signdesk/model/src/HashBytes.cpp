#include "model/HashBytes.h"

void HashBytes(const void* data, DWORD length, DWORD* hash) {
    const auto* bytes = static_cast<const BYTE*>(data);
    DWORD h = *hash;
    for (DWORD i = 0; i < length; ++i) {
        const DWORD b = DWORD(bytes[i]) + 17;
        h += b;
        h ^= b << ((i + 1) % 23);
    }
    *hash = h;
}
