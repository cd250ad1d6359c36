#include "win32/kernel.h"

DWORD GetVersion() {
    // Low byte major, next minor, high word the build; the high bit set would mean a
    // system outside the NT family.
    return (DWORD(2600) << 16) | (1u << 8) | 5u;
}
