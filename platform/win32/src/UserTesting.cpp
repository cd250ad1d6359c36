// Reset of the whole window state between tests.

#include "win32/UserTesting.h"
#include "MenuTable.h"
#include "WindowTable.h"
#include "win32/InputRouter.h"
#include "win32/MenuTesting.h"
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
    SdResetDoubleClick();
    SdClearMessageBoxes();
    SdResetBeeps();
    SdClearDialogScripts();
    SdClearPopupMenus();
    sdmenu::resetMenus();
}
