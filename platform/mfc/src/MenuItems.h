#pragma once
// What a CCmdUI does to a menu item or a control.

#include "win32/base.h"

class CMenu;
class CWnd;

namespace sdmenu {
void enableItem(CMenu* menu, UINT index, BOOL enable);
void checkItem(CMenu* menu, UINT index, int check, bool radio);
void setItemText(CMenu* menu, UINT index, LPCSTR text);
void checkControl(CWnd* control, int check);
} // namespace sdmenu
