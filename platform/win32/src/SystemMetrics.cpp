// The metrics of the classic scheme, fixed.

#include "WindowTable.h"
#include "win32/nls.h"

namespace sduser {

int systemMetric(int index) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
        return SD_SCREEN_WIDTH;
    case SM_CYSCREEN:
        return SD_SCREEN_HEIGHT;
    case SM_CYFULLSCREEN:
        return SD_SCREEN_HEIGHT - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYCAPTION:
    case SM_CYMENU:
        return 19;
    case SM_CYSMCAPTION:
        return 15;
    case SM_CXSIZE:
    case SM_CYSIZE:
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE:
        return 18;
    case SM_CXSMSIZE:
        return 12;
    case SM_CYSMSIZE:
        return 14;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER:
        return 1;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
        return 13;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
        return 75;
    case SM_CXMIN:
        return 112;
    case SM_CYMIN:
        return 27;
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMINTRACK:
        return 27;
    case SM_MOUSEPRESENT:
        return 1;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

} // namespace sduser
