// Reset of the whole window state between tests.

#include "win32/UserTesting.h"
#include "MenuTable.h"
#include "WindowTable.h"
#include "win32/DialogTesting.h"

using namespace sduser;

void SdResetUserState() {
    destroyAllWindows();
    {
        UserLock lock = lockUser();
        UserState& state = userState();
        resetQueue();
        resetKeys();
        state.focus = nullptr;
        state.capture = nullptr;
    }
    SdClearMessageBoxes();
    SdResetBeeps();
    SdClearDialogScripts();
    sdmenu::resetMenus();
}
