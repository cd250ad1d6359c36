#include "shell/CopyMenuItem.h"

#include <mfc/CMenu.h>

void CopyMenuItem(CMenu* source, CMenu* destination, UINT id) {
    if (!destination) return;
    CString text;
    if (source) source->GetMenuString(id, text, MF_BYCOMMAND);
    destination->AppendMenu(MF_STRING, id, text);
}
