// Whether a user can see the windows. Headless there is no display.

#include "win32/user.h"

BOOL SdDisplayActive() {
    return FALSE;
}
