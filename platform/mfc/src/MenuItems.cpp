#include "MenuItems.h"

#include "mfc/CMenu.h"
#include "mfc/CWnd.h"
#include "win32/controls.h"

namespace sdmenu {

void enableItem(CMenu* menu, UINT index, BOOL enable) {
    menu->EnableMenuItem(index, MF_BYPOSITION | (enable ? MF_ENABLED : MF_DISABLED | MF_GRAYED));
}

void checkItem(CMenu* menu, UINT index, int check, bool radio) {
    // A radio item checked shows a bullet.
    if (radio && check != 0 &&
        ::CheckMenuRadioItem(menu->m_hMenu, index, index, index, MF_BYPOSITION))
        return;
    menu->CheckMenuItem(index, MF_BYPOSITION | (check != 0 ? MF_CHECKED : MF_UNCHECKED));
}

void setItemText(CMenu* menu, UINT index, LPCSTR text) {
    // The item keeps its id, state and kind; only the text changes.
    const UINT state = menu->GetMenuState(index, MF_BYPOSITION);
    if (state == UINT(-1) || (state & MF_POPUP)) return;
    const UINT id = menu->GetMenuItemID(int(index));
    menu->ModifyMenu(index,
                     MF_BYPOSITION | MF_STRING |
                         (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MFT_RADIOCHECK)),
                     id, text);
}

void checkControl(CWnd* control, int check) {
    control->SendMessage(BM_SETCHECK, WPARAM(check), 0);
}

} // namespace sdmenu
