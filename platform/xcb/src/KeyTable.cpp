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

// evdev key codes (scan code + 8) of the rows of letters, digits and punctuation.
constexpr const char* rowQ = "QWERTYUIOP";      // 24..33
constexpr const char* rowA = "ASDFGHJKL";       // 38..46
constexpr const char* rowZ = "ZXCVBNM";         // 52..58
constexpr const char* rowDigits = "1234567890"; // 10..19

constexpr KeyEntry positionTable[] = {
    {20, 0xBD}, // VK_OEM_MINUS
    {21, 0xBB}, // VK_OEM_PLUS
    {34, 0xDB}, // VK_OEM_4
    {35, 0xDD}, // VK_OEM_6
    {47, 0xBA}, // VK_OEM_1
    {48, 0xDE}, // VK_OEM_7
    {49, 0xC0}, // VK_OEM_3
    {51, 0xDC}, // VK_OEM_5
    {59, 0xBC}, // VK_OEM_COMMA
    {60, 0xBE}, // VK_OEM_PERIOD
    {61, 0xBF}, // VK_OEM_2
    {94, 0xE2}, // VK_OEM_102
};

// Right Ctrl, right Alt, keypad Enter and Divide, the arrow and editing blocks.
constexpr uint32_t extendedKeys[] = {105, 108, 104, 106, 110, 111, 112, 113, 114,
                                     115, 116, 117, 118, 119, 127, 133, 134, 135};

} // namespace

int virtualKeyAt(uint32_t keycode) {
    if (keycode >= 24 && keycode <= 33) return rowQ[keycode - 24];
    if (keycode >= 38 && keycode <= 46) return rowA[keycode - 38];
    if (keycode >= 52 && keycode <= 58) return rowZ[keycode - 52];
    if (keycode >= 10 && keycode <= 19) return rowDigits[keycode - 10];
    for (const KeyEntry& e : positionTable)
        if (e.keysym == keycode) return e.vk;
    return 0;
}

bool extendedKeyAt(uint32_t keycode) {
    for (uint32_t k : extendedKeys)
        if (k == keycode) return true;
    return false;
}

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
