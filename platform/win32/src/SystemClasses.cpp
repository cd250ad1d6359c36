// The predefined window classes: registered on first use, so that they come back after a
// test reset has forgotten every class.

#include <strings.h>

#include "ControlSupport.h"
#include "WindowTable.h"

namespace sduser {

namespace {

struct SystemClass {
    const char* name;
    ATOM atom; // 0: any free atom
    WNDPROC proc;
    int extra;
    UINT style;
};

const SystemClass systemClasses[] = {
    {"Button", 0, sdctl::buttonProc, sdctl::stateBytes, CS_DBLCLKS | CS_PARENTDC},
    {"Edit", 0, sdctl::editProc, sdctl::stateBytes, CS_DBLCLKS | CS_PARENTDC},
    {"Static", 0, sdctl::staticProc, sdctl::stateBytes, CS_DBLCLKS | CS_PARENTDC},
    {"ListBox", 0, sdctl::listBoxProc, sdctl::stateBytes, CS_DBLCLKS | CS_PARENTDC},
    {"ComboBox", 0, sdctl::comboBoxProc, sdctl::stateBytes, CS_DBLCLKS | CS_PARENTDC},
    {"ScrollBar", 0, sdctl::scrollBarProc, sdctl::stateBytes, CS_DBLCLKS | CS_PARENTDC},
    {UPDOWN_CLASSA, 0, sdctl::upDownProc, sdctl::stateBytes, 0},
    {TRACKBAR_CLASSA, 0, sdctl::trackbarProc, sdctl::stateBytes, 0},
    {TOOLTIPS_CLASSA, 0, sdctl::toolTipProc, sdctl::stateBytes, CS_SAVEBITS},
    // The dialog class; DWLP_MSGRESULT, DWLP_DLGPROC and DWLP_USER lie in its extra bytes.
    // Popup menus and the window that takes the keys while a menu bar is worked.
    {"ComboLBox", 0, sdctl::comboListProc, sdctl::stateBytes, CS_DBLCLKS | CS_SAVEBITS},
    {"#32768", 0x8000, sdctl::menuWindowProc, sdctl::stateBytes, CS_SAVEBITS},
    {"#32770", 0x8002, sdctl::dialogClassProc, 3 * int(sizeof(LONG_PTR)), CS_DBLCLKS | CS_SAVEBITS},
};

} // namespace

WindowClass* registerSystemClass(LPCSTR name) {
    UserState& state = userState();
    for (const SystemClass& sc : systemClasses) {
        bool match = isAtom(name) ? sc.atom && ATOM(reinterpret_cast<UINT_PTR>(name)) == sc.atom
                                  : strcasecmp(name, sc.name) == 0;
        if (!match) continue;
        ATOM atom = sc.atom;
        if (!atom || state.classes.count(atom)) {
            for (atom = 0xC000; state.classes.count(atom) && atom < 0xFFFF; ++atom) {
            }
        }
        auto entry = std::make_unique<WindowClass>();
        entry->name = sc.name;
        entry->atom = atom;
        entry->style = sc.style | CS_GLOBALCLASS;
        entry->proc = sc.proc;
        entry->windowExtra = sc.extra;
        WindowClass* result = entry.get();
        state.classes.emplace(atom, std::move(entry));
        return result;
    }
    return nullptr;
}

} // namespace sduser

void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    return init && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
