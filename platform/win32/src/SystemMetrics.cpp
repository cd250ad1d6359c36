// The metrics of the classic scheme, fixed.

#include "WindowTable.h"
#include "win32/nls.h"

namespace sduser {

int systemMetric(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return SD_SCREEN_WIDTH;
    case SM_CYSCREEN:
        return SD_SCREEN_HEIGHT;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
        return 16;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CYMENU:
        return 19;
    case SM_MOUSEPRESENT:
        return 1;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    default:
        return 0;
    }
}

} // namespace sduser
