#pragma once
// Context menus are assembled from menu resources item by item.

#include <win32/base.h>

class CMenu;

// Appends to destination a string item with the command id and the text the source menu
// gives that command (looked up by command, submenus included; empty when it has none).
void CopyMenuItem(CMenu* source, CMenu* destination, UINT id);
