#include "MenuItems.h"

#include "mfc/CWnd.h"
#include "win32/controls.h"

namespace sdmenu {

void enableItem(CMenu*, UINT, BOOL) {}
void checkItem(CMenu*, UINT, int, bool) {}
void setItemText(CMenu*, UINT, LPCSTR) {}

void checkControl(CWnd* control, int check) {
    control->SendMessage(BM_SETCHECK, WPARAM(check), 0);
}

} // namespace sdmenu
