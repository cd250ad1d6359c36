// Keysyms to virtual keys: letters and digits by their symbol, the rest by this table.

#include "KeyTable.h"

#include <xkbcommon/xkbcommon-keysyms.h>

#include "win32/user.h"

namespace sdxcb {

namespace {

struct KeyEntry {
    uint32_t keysym;
    int vk;
};

constexpr KeyEntry keyTable[] = {
    {XKB_KEY_BackSpace, VK_BACK},
    {XKB_KEY_Tab, VK_TAB},
    {XKB_KEY_ISO_Left_Tab, VK_TAB},
    {XKB_KEY_Clear, VK_CLEAR},
    {XKB_KEY_Return, VK_RETURN},
    {XKB_KEY_KP_Enter, VK_RETURN},
    {XKB_KEY_Shift_L, VK_SHIFT},
    {XKB_KEY_Shift_R, VK_SHIFT},
    {XKB_KEY_Control_L, VK_CONTROL},
    {XKB_KEY_Control_R, VK_CONTROL},
    {XKB_KEY_Alt_L, VK_MENU},
    {XKB_KEY_Alt_R, VK_MENU},
    {XKB_KEY_ISO_Level3_Shift, VK_MENU},
    {XKB_KEY_Pause, VK_PAUSE},
    {XKB_KEY_Caps_Lock, VK_CAPITAL},
    {XKB_KEY_Escape, VK_ESCAPE},
    {XKB_KEY_space, VK_SPACE},
    {XKB_KEY_Prior, VK_PRIOR},
    {XKB_KEY_Next, VK_NEXT},
    {XKB_KEY_End, VK_END},
    {XKB_KEY_Home, VK_HOME},
    {XKB_KEY_Left, VK_LEFT},
    {XKB_KEY_Up, VK_UP},
    {XKB_KEY_Right, VK_RIGHT},
    {XKB_KEY_Down, VK_DOWN},
    {XKB_KEY_Select, VK_SELECT},
    {XKB_KEY_Print, VK_SNAPSHOT},
    {XKB_KEY_Insert, VK_INSERT},
    {XKB_KEY_Delete, VK_DELETE},
    {XKB_KEY_Help, VK_HELP},
    {XKB_KEY_KP_Multiply, VK_MULTIPLY},
    {XKB_KEY_KP_Add, VK_ADD},
    {XKB_KEY_KP_Separator, VK_SEPARATOR},
    {XKB_KEY_KP_Subtract, VK_SUBTRACT},
    {XKB_KEY_KP_Decimal, VK_DECIMAL},
    {XKB_KEY_KP_Divide, VK_DIVIDE},
    {XKB_KEY_KP_Home, VK_HOME},
    {XKB_KEY_KP_End, VK_END},
    {XKB_KEY_KP_Left, VK_LEFT},
    {XKB_KEY_KP_Right, VK_RIGHT},
    {XKB_KEY_KP_Up, VK_UP},
    {XKB_KEY_KP_Down, VK_DOWN},
    {XKB_KEY_KP_Prior, VK_PRIOR},
    {XKB_KEY_KP_Next, VK_NEXT},
    {XKB_KEY_KP_Insert, VK_INSERT},
    {XKB_KEY_KP_Delete, VK_DELETE},
    {XKB_KEY_KP_Begin, VK_CLEAR},
    {XKB_KEY_Num_Lock, VK_NUMLOCK},
    {XKB_KEY_Scroll_Lock, VK_SCROLL},
};

} // namespace

int virtualKeyOf(uint32_t keysym) {
    if (keysym >= XKB_KEY_a && keysym <= XKB_KEY_z) return int('A' + (keysym - XKB_KEY_a));
    if (keysym >= XKB_KEY_A && keysym <= XKB_KEY_Z) return int(keysym);
    if (keysym >= XKB_KEY_0 && keysym <= XKB_KEY_9) return int(keysym);
    if (keysym >= XKB_KEY_KP_0 && keysym <= XKB_KEY_KP_9)
        return VK_NUMPAD0 + int(keysym - XKB_KEY_KP_0);
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F12) return VK_F1 + int(keysym - XKB_KEY_F1);
    for (const KeyEntry& e : keyTable)
        if (e.keysym == keysym) return e.vk;
    return 0;
}

} // namespace sdxcb
