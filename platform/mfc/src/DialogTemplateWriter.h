#pragma once
// The framework's own dialogs (print, colour) build their templates in memory: a
// DLGTEMPLATE with its caption, then the items, each on a four-byte boundary.

#include <vector>

#include "win32/dialog.h"

namespace sddlg {

struct Item {
    const char* cls;
    const char* title;
    int id;
    DWORD style; // WS_CHILD | WS_VISIBLE are added
    short x, y, cx, cy;
};

std::vector<BYTE> BuildTemplate(DWORD style, short cx, short cy, const char* caption,
                                const std::vector<Item>& items);

} // namespace sddlg
