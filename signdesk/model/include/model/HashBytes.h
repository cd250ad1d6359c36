#pragma once
// The stamp hash of object and document stamps. Positions restart at 0 with each call; a
// hash over several fields is built by several calls on the same running value.

#include "win32/base.h"

void HashBytes(const void* data, DWORD length, DWORD* hash);
