// The system colours: the classic scheme, fixed.

#include "win32/user.h"

DWORD GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
    case COLOR_BTNHIGHLIGHT:
    case COLOR_CAPTIONTEXT:
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT:
    case COLOR_WINDOWFRAME:
    case COLOR_3DDKSHADOW:
    case COLOR_INFOTEXT:
        return RGB(0, 0, 0);
    case COLOR_BTNFACE:
    case COLOR_SCROLLBAR:
    case 25: // the alternate button face
    case COLOR_MENUBAR:
    case COLOR_MENU:
    case COLOR_ACTIVEBORDER:
    case COLOR_INACTIVEBORDER:
    case COLOR_INACTIVECAPTIONTEXT:
        return RGB(192, 192, 192);
    case COLOR_3DLIGHT:
        return RGB(223, 223, 223);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
    case COLOR_INACTIVECAPTION:
    case COLOR_APPWORKSPACE:
    case COLOR_GRADIENTINACTIVECAPTION:
        return RGB(128, 128, 128);
    case COLOR_BACKGROUND:
        return RGB(0, 128, 128);
    case COLOR_ACTIVECAPTION:
    case COLOR_HIGHLIGHT:
    case COLOR_GRADIENTACTIVECAPTION:
    case COLOR_MENUHILIGHT:
        return RGB(0, 0, 128);
    case COLOR_HOTLIGHT:
        return RGB(0, 0, 255);
    case COLOR_INFOBK:
        return RGB(255, 255, 225);
    default:
        return 0;
    }
}
