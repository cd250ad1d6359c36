// The dialog manager: templates in memory and in resources, the keyboard interface, item
// functions and modal dialogs driven by scripts.

#include <cstring>
#include <string>
#include <vector>

#include "UserTestWindow.h"
#include "testing/DialogDriver.h"
#include "win32/dialog.h"
#include "win32/kernel.h"
#include "win32/menu.h"
#include "win32/module.h"

namespace {

// Writes a DLGTEMPLATE and its items as laid out in memory.
class TemplateWriter {
public:
    TemplateWriter(DWORD style, short x, short y, short cx, short cy, const char* caption) {
        dword(style | DS_SETFONT);
        dword(0);
        countAt_ = bytes_.size();
        word(0);
        word(WORD(x));
        word(WORD(y));
        word(WORD(cx));
        word(WORD(cy));
        word(0); // no menu
        word(0); // dialog class
        text(caption);
        word(8);
        text("Sans");
    }
    TemplateWriter& item(WORD atom, const char* text, WORD id, DWORD style, short x, short y, short cx, short cy) {
        while (bytes_.size() % 4)
            bytes_.push_back(0);
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        for (short v : {x, y, cx, cy})
            word(WORD(v));
        word(id);
        word(0xFFFF);
        word(atom);
        this->text(text);
        word(0);
        ++count_;
        std::memcpy(&bytes_[countAt_], &count_, 2);
        return *this;
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    void word(WORD v) {
        bytes_.push_back(BYTE(v));
        bytes_.push_back(BYTE(v >> 8));
    }
    void dword(DWORD v) {
        word(WORD(v));
        word(WORD(v >> 16));
    }
    void text(const char* s) {
        for (; *s; ++s)
            word(static_cast<unsigned char>(*s));
        word(0);
    }
    std::vector<BYTE> bytes_;
    size_t countAt_ = 0;
    WORD count_ = 0;
};

constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;
constexpr int IDC_NAME = 100, IDC_COUNT = 101, IDC_RED = 110, IDC_GREEN = 111, IDC_BLUE = 112, IDC_LABEL = 120;

TemplateWriter sampleTemplate() {
    TemplateWriter t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 10, 20, 200, 100, "Sample");
    t.item(kStatic, "Name:", IDC_LABEL, SS_LEFT, 4, 4, 40, 8)
        .item(kEdit, "", IDC_NAME, WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 50, 4, 80, 12)
        .item(kEdit, "3", IDC_COUNT, WS_TABSTOP | ES_NUMBER, 50, 20, 80, 12)
        .item(kButton, "Red", IDC_RED, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 4, 40, 40, 10)
        .item(kButton, "Green", IDC_GREEN, BS_AUTORADIOBUTTON, 4, 52, 40, 10)
        .item(kButton, "Blue", IDC_BLUE, BS_AUTORADIOBUTTON, 4, 64, 40, 10)
        .item(kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 140, 60, 50, 14)
        .item(kButton, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 140, 80, 50, 14);
    return t;
}

struct DialogRun {
    std::vector<std::pair<UINT, WPARAM>> seen; // WM_INITDIALOG and WM_COMMAND
    bool endOnCommand = true;
};
DialogRun* run = nullptr;

INT_PTR CALLBACK sampleProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        if (run) run->seen.push_back({msg, wParam});
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        if (run) run->seen.push_back({msg, wParam});
        WORD id = LOWORD(wParam);
        if ((id == IDOK || id == IDCANCEL) && (!run || run->endOnCommand)) EndDialog(dialog, id);
        return TRUE;
    }
    return FALSE;
}

class DialogTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        run = &state;
        owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, {100, 50, 700, 450});
    }
    void TearDown() override {
        UserTest::TearDown();
        run = nullptr;
    }
    void Key(HWND dialog, int vk) {
        MSG msg{GetFocus(), WM_KEYDOWN, WPARAM(vk), 1, 0, {}};
        EXPECT_TRUE(IsDialogMessageA(dialog, &msg));
    }
    std::vector<WORD> Commands() {
        std::vector<WORD> ids;
        for (auto& [msg, wParam] : state.seen)
            if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ids.push_back(LOWORD(wParam));
        state.seen.clear();
        return ids;
    }

    DialogRun state;
    HWND owner = nullptr;
};

INT_PTR CALLBACK focusCancelProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return FALSE;
    SendMessageA(dialog, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialog, IDCANCEL)), TRUE);
    return FALSE; // the focus is placed
}

TEST_F(DialogTest, AnInitialisationReturningFalseKeepsTheFocusItPlaced) {
    TemplateWriter t = sampleTemplate();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.get(), owner, focusCancelProc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOWNORMAL);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDCANCEL));
}

TEST_F(DialogTest, ModelessDialogFromMemoryTemplate) {
    TemplateWriter t = sampleTemplate();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.get(), owner, sampleProc, 0);
    ASSERT_NE(dialog, nullptr);
    char name[16] = {};
    GetClassNameA(dialog, name, sizeof name);
    EXPECT_STREQ(name, "#32770");
    // Placed from the owner's client area, sized in dialog units (6 x 13 base units).
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_EQ(r.left, 100 + 15);
    EXPECT_EQ(r.top, 50 + 33); // 20 * 13 / 8 = 32.5, rounded
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 163);
    // Controls in template order.
    std::vector<int> ids;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(ids, (std::vector<int>{IDC_LABEL, IDC_NAME, IDC_COUNT, IDC_RED, IDC_GREEN, IDC_BLUE, IDOK, IDCANCEL}));
    // WM_INITDIALOG got the first tab stop, which has the focus; the default button is known.
    ASSERT_FALSE(state.seen.empty());
    EXPECT_EQ(state.seen[0].first, UINT(WM_INITDIALOG));
    EXPECT_EQ(reinterpret_cast<HWND>(state.seen[0].second), GetDlgItem(dialog, IDC_NAME));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NAME));
    EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), LRESULT(MAKELONG(IDOK, DC_HASDEFID)));
    RECT units{4, 8, 10, 16};
    EXPECT_TRUE(MapDialogRect(dialog, &units));
    EXPECT_EQ(units.left, 6);
    EXPECT_EQ(units.top, 13);
    EXPECT_EQ(units.right, 15);
    EXPECT_EQ(units.bottom, 26);
    EXPECT_FALSE(IsWindowVisible(dialog)); // no WS_VISIBLE in the template
    DestroyWindow(dialog);
}

TEST_F(DialogTest, KeyboardInterface) {
    TemplateWriter t = sampleTemplate();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.get(), owner, sampleProc, 0);
    ASSERT_NE(dialog, nullptr);
    state.endOnCommand = false;
    auto item = [&](int id) { return GetDlgItem(dialog, id); };
    EnableWindow(item(IDC_COUNT), FALSE);
    Key(dialog, VK_TAB); // skips the disabled edit
    EXPECT_EQ(GetFocus(), item(IDC_RED));
    Key(dialog, VK_DOWN); // within the group: focus and check
    EXPECT_EQ(GetFocus(), item(IDC_GREEN));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_GREEN), BST_CHECKED);
    Key(dialog, VK_DOWN);
    Key(dialog, VK_DOWN); // wraps to the group's start
    EXPECT_EQ(GetFocus(), item(IDC_RED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BLUE), BST_UNCHECKED);
    Commands();
    SdSetKeyDown(VK_SHIFT, true);
    Key(dialog, VK_TAB);
    SdSetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(GetFocus(), item(IDC_NAME));
    // Selecting all of an edit reached by Tab.
    SetDlgItemTextA(dialog, IDC_NAME, "abc");
    for (int i = 0; i < 4; ++i)
        Key(dialog, VK_TAB); // red (checked), OK, Cancel, name
    EXPECT_EQ(GetFocus(), item(IDC_NAME));
    EXPECT_EQ(SendMessageA(item(IDC_NAME), EM_GETSEL, 0, 0), LRESULT(MAKELONG(0, 3)));
    Key(dialog, VK_RETURN); // in an edit: the default button
    Key(dialog, VK_ESCAPE);
    SetFocus(item(IDCANCEL));
    Key(dialog, VK_RETURN); // on a push button: that button
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDOK, IDCANCEL, IDCANCEL}));
    // DM_SETDEFID moves the default look as well.
    SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(GetWindowLongA(item(IDCANCEL), GWL_STYLE) & BS_TYPEMASK, LONG(BS_DEFPUSHBUTTON));
    EXPECT_EQ(GetWindowLongA(item(IDOK), GWL_STYLE) & BS_TYPEMASK, LONG(BS_PUSHBUTTON));
    SetFocus(item(IDC_NAME));
    Key(dialog, VK_RETURN);
    EXPECT_EQ(Commands(), std::vector<WORD>{IDCANCEL});
    // A disabled default button beeps instead.
    EnableWindow(item(IDCANCEL), FALSE);
    SdResetBeeps();
    Key(dialog, VK_RETURN);
    EXPECT_EQ(Commands(), std::vector<WORD>{});
    EXPECT_EQ(SdBeepCount(), 1);
    // Messages of other windows are not the dialog's.
    MSG other{owner, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_FALSE(IsDialogMessageA(dialog, &other));
}

TEST_F(DialogTest, ItemFunctions) {
    TemplateWriter t = sampleTemplate();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.get(), owner, sampleProc, 0);
    ASSERT_NE(dialog, nullptr);
    struct Case {
        const char* text;
        BOOL isSigned;
        BOOL translated;
        UINT value;
    };
    const Case cases[] = {
        {"12", FALSE, TRUE, 12},           {"  -5 ", TRUE, TRUE, UINT(-5)},   {"-5", FALSE, FALSE, 0},
        {"1x", TRUE, FALSE, 0},            {"", TRUE, FALSE, 0},              {"4294967295", FALSE, TRUE, 4294967295u},
        {"4294967296", FALSE, FALSE, 0},   {"2147483648", TRUE, FALSE, 0},    {"1 2", TRUE, FALSE, 0},
    };
    for (const Case& c : cases) {
        SetDlgItemTextA(dialog, IDC_NAME, c.text);
        BOOL translated = -1;
        EXPECT_EQ(GetDlgItemInt(dialog, IDC_NAME, &translated, c.isSigned), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
    SetDlgItemInt(dialog, IDC_NAME, UINT(-42), TRUE);
    EXPECT_EQ(sdtest::TextOf(dialog, IDC_NAME), "-42");
    EXPECT_TRUE(CheckRadioButton(dialog, IDC_RED, IDC_BLUE, IDC_BLUE));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_RED), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BLUE), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_COUNT, WM_GETTEXTLENGTH, 0, 0), 1);
    EXPECT_FALSE(SetDlgItemTextA(dialog, 999, "x"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));
    EXPECT_EQ(GetNextDlgGroupItem(dialog, GetDlgItem(dialog, IDC_RED), TRUE), GetDlgItem(dialog, IDC_BLUE));
}

TEST_F(DialogTest, ModalDialogRunByScript) {
    TemplateWriter t = sampleTemplate();
    bool ownerDisabled = false;
    SetDialogScriptForClass("#32770", [&](HWND dialog) {
        ownerDisabled = !IsWindowEnabled(owner);
        sdtest::Type(dialog, IDC_NAME, "Sign\b\bgn");
        sdtest::Type(dialog, IDC_COUNT, "4x2");
        sdtest::Click(dialog, IDC_GREEN);
        EXPECT_EQ(sdtest::TextOf(dialog, IDC_NAME), "Sign");
        EXPECT_EQ(sdtest::TextOf(dialog, IDC_COUNT), "42");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_GREEN), BST_CHECKED);
        sdtest::Type(dialog, IDC_NAME, "\r"); // Enter presses OK
    });
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.get(), owner, sampleProc, 0), IDOK);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    std::vector<SdDialogRecord> log = DialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].scripted);
    EXPECT_EQ(log[0].caption, "Sample");
    EXPECT_EQ(log[0].result, IDOK);
    EXPECT_EQ(log[0].actions, (std::vector<std::string>{"type 100 \"Sign\b\bgn\"", "type 101 \"4x2\"",
                                                         "click 111", "type 100 \"\r\""}));
    EXPECT_FALSE(IsWindow(log[0].dialog)); // destroyed when it ended
}

TEST_F(DialogTest, UnscriptedOrAbandonedModalDialogIsCancelled) {
    AllowUnscriptedDialogs();
    TemplateWriter t = sampleTemplate();
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.get(), owner, sampleProc, 0), IDCANCEL);
    EXPECT_EQ(SdUnscriptedDialogCount(), 1);
    // A script that leaves the dialog open does not hang the test: it is cancelled.
    SetDialogScriptForClass("#32770", [](HWND dialog) { sdtest::Type(dialog, IDC_NAME, "x"); });
    state.endOnCommand = false;
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.get(), owner, sampleProc, 0), IDCANCEL);
    EXPECT_EQ(SdUnscriptedDialogCount(), 2);
    EXPECT_EQ(DialogLog().back().failure, "the script left the dialog open");
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogTest, CloseBecomesCancel) {
    TemplateWriter t = sampleTemplate();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.get(), owner, sampleProc, 0);
    state.endOnCommand = false;
    Commands();
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_EQ(Commands(), std::vector<WORD>{IDCANCEL});
    EXPECT_TRUE(IsWindow(dialog));
}

} // namespace

// ---- resource dialogs and menus (test-res.rcx) ----

namespace {

#include "data/test-ids.h"

class ResourceDialogTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        module = LoadLibraryA("test-res.dll");
        ASSERT_NE(module, nullptr);
        owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, {0, 0, 800, 600});
    }
    void TearDown() override {
        UserTest::TearDown();
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
    HWND owner = nullptr;
};

struct Settings {
    int width = 0;
    std::string unit;
    bool mirror = false;
    bool slow = false;
    int speed = 0;
    std::vector<WORD> changes; // EN_CHANGE / CBN_SELCHANGE / WM_HSCROLL seen, by control id
};
Settings* settings = nullptr;

INT_PTR CALLBACK settingsProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_WIDTH_SPIN, UDM_SETRANGE32, 1, 500);
        SendDlgItemMessageA(dialog, IDC_WIDTH_SPIN, UDM_SETPOS32, 0, 120);
        for (const char* unit : {"mm", "cm", "in"})
            SendDlgItemMessageA(dialog, IDC_UNIT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit));
        SendDlgItemMessageA(dialog, IDC_UNIT, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("mm"));
        CheckRadioButton(dialog, IDC_FAST, IDC_SLOW, IDC_FAST);
        SendDlgItemMessageA(dialog, IDC_SPEED, TBM_SETRANGE, TRUE, MAKELPARAM(1, 10));
        return TRUE;
    case WM_HSCROLL:
        settings->changes.push_back(WORD(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) settings->changes.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDOK) {
            BOOL ok = FALSE;
            settings->width = int(GetDlgItemInt(dialog, IDC_WIDTH, &ok, FALSE));
            char unit[8] = {};
            GetDlgItemTextA(dialog, IDC_UNIT, unit, sizeof unit);
            settings->unit = unit;
            settings->mirror = IsDlgButtonChecked(dialog, IDC_MIRROR) == BST_CHECKED;
            settings->slow = IsDlgButtonChecked(dialog, IDC_SLOW) == BST_CHECKED;
            settings->speed = int(SendDlgItemMessageA(dialog, IDC_SPEED, TBM_GETPOS, 0, 0));
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

TEST_F(ResourceDialogTest, CompiledDialogRunByScript) {
    Settings result;
    settings = &result;
    SetDialogScript(IDD_SETTINGS, [](HWND dialog) {
        EXPECT_EQ(sdtest::TextOf(dialog, IDC_WIDTH), "120");
        sdtest::Click(dialog, IDC_WIDTH_SPIN); // the spin's upper half? its middle is the lower
        EXPECT_EQ(sdtest::TextOf(dialog, IDC_WIDTH), "119");
        sdtest::Type(dialog, IDC_WIDTH, "2x50"); // ES_NUMBER refuses the x
        sdtest::Select(dialog, IDC_UNIT, "cm");
        sdtest::Click(dialog, IDC_MIRROR);
        sdtest::Click(dialog, IDC_SLOW);
        sdtest::FocusControl(dialog, IDC_SPEED);
        sdtest::PressKey(dialog, VK_END);
        sdtest::Click(dialog, IDOK);
    });
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_SETTINGS), owner, settingsProc, 0), IDOK);
    EXPECT_EQ(result.width, 250);
    EXPECT_EQ(result.unit, "cm");
    EXPECT_TRUE(result.mirror);
    EXPECT_TRUE(result.slow);
    EXPECT_EQ(result.speed, 10);
    EXPECT_EQ(result.changes, (std::vector<WORD>{IDC_UNIT, IDC_SPEED, IDC_SPEED}));
    settings = nullptr;
}

TEST_F(ResourceDialogTest, CompiledTemplateLayout) {
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_SETTINGS), owner, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    char text[32] = {};
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "Cut settings");
    EXPECT_EQ(DWORD(GetWindowLongA(dialog, GWL_STYLE)) & (WS_CAPTION | DS_SETFONT | DS_MODALFRAME),
              WS_CAPTION | DS_SETFONT | DS_MODALFRAME);
    struct Expect {
        int id;
        const char* cls;
        DWORD style; // bits that must be set
        DWORD absent;
    };
    const Expect expected[] = {
        {IDC_WIDTH, "Edit", WS_TABSTOP | WS_BORDER | ES_NUMBER | WS_VISIBLE | WS_CHILD, 0},
        {IDC_WIDTH_SPIN, UPDOWN_CLASSA, UDS_SETBUDDYINT, WS_TABSTOP},
        {IDC_UNIT, "ComboBox", CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP, 0},
        {IDC_MIRROR, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {IDC_FAST, "Button", BS_AUTORADIOBUTTON | WS_GROUP, 0},
        {IDC_SPEED, TRACKBAR_CLASSA, WS_TABSTOP | WS_GROUP, 0},
        {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
        {IDCANCEL, "Button", BS_PUSHBUTTON, WS_TABSTOP},
    };
    for (const Expect& e : expected) {
        HWND item = GetDlgItem(dialog, e.id);
        ASSERT_NE(item, nullptr) << e.id;
        char cls[32] = {};
        GetClassNameA(item, cls, sizeof cls);
        EXPECT_STREQ(cls, e.cls) << e.id;
        DWORD style = DWORD(GetWindowLongA(item, GWL_STYLE));
        EXPECT_EQ(style & e.style, e.style) << e.id;
        EXPECT_EQ(style & e.absent, 0u) << e.id;
    }
    // The edit at (50, 4) dialog units, 40 x 12, gave the spin its room on the right.
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, IDC_WIDTH), &r);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(r.left - origin.x, 75);
    EXPECT_EQ(r.top - origin.y, 7); // 4 * 13 / 8 = 6.5, rounded
    EXPECT_EQ(r.right - r.left, 60 - 15);
    EXPECT_EQ(reinterpret_cast<HWND>(SendDlgItemMessageA(dialog, IDC_WIDTH_SPIN, UDM_GETBUDDY, 0, 0)),
              GetDlgItem(dialog, IDC_WIDTH));
    char label[16] = {};
    HWND first = GetWindow(dialog, GW_CHILD);
    GetWindowTextA(first, label, sizeof label);
    EXPECT_STREQ(label, "Width:");
    EXPECT_EQ(GetDlgCtrlID(first), 0xFFFF);
    DestroyWindow(dialog);
}

TEST_F(ResourceDialogTest, DamagedOrMissingTemplatesFailCleanly) {
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_BROKEN), owner, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_BROKEN), owner, nullptr, 0), -1);
    EXPECT_EQ(CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_UNKNOWN_CLASS), owner, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(CreateDialogParamA(module, MAKEINTRESOURCEA(999), owner, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    // Only the owner is left: nothing half-made stays behind.
    EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));
}

} // namespace
