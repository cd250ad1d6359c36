// The predefined controls, driven by messages: results and the notifications the parent gets.

#include <climits>
#include <string>
#include <vector>

#include "UserTestWindow.h"
#include "testing/InputDriver.h"
#include "win32/clipboard.h"
#include "win32/controls.h"
#include "win32/kernel.h"

namespace {

struct Notice {
    UINT msg;
    int id;
    WORD code; // WM_COMMAND: the notification; WM_*SCROLL: the scroll code
    int pos;   // WM_*SCROLL: HIWORD of wParam
};

class ControlTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        parent = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 0, {0, 0, 400, 300});
        ASSERT_NE(parent, nullptr);
        // WM_NOTIFY's structure lives only while the message is handled.
        answer = [this](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (msg == WM_NOTIFY) notifyCodes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
            return std::nullopt;
        };
    }

    HWND Control(const char* cls, DWORD style, int id, const char* text = "",
                 RECT r = {10, 10, 110, 30}) {
        HWND hwnd =
            CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, int(r.left), int(r.top),
                            int(r.right - r.left), int(r.bottom - r.top), parent,
                            reinterpret_cast<HMENU>(UINT_PTR(id)), nullptr, nullptr);
        EXPECT_NE(hwnd, nullptr) << cls;
        return hwnd;
    }

    // What reached the parent since the last call.
    std::vector<Notice> Notices() {
        std::vector<Notice> out;
        for (const UserEvent& e : events) {
            if (e.hwnd != parent) continue;
            if (e.msg == WM_COMMAND)
                out.push_back({e.msg, LOWORD(e.wParam), HIWORD(e.wParam), 0});
            else if (e.msg == WM_HSCROLL || e.msg == WM_VSCROLL)
                out.push_back({e.msg, GetDlgCtrlID(reinterpret_cast<HWND>(e.lParam)),
                               LOWORD(e.wParam), SHORT(HIWORD(e.wParam))});
            else if (e.msg == WM_NOTIFY)
                out.push_back({e.msg, int(e.wParam), 0, 0});
        }
        events.clear();
        return out;
    }
    std::vector<WORD> Codes() {
        std::vector<WORD> codes;
        for (const Notice& n : Notices())
            codes.push_back(n.code);
        return codes;
    }

    static std::string Text(HWND hwnd) {
        char text[256] = {};
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }
    static void Chars(HWND hwnd, const std::string& text) {
        for (char c : text)
            SendMessageA(hwnd, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1);
    }
    static void Click(HWND hwnd, int x = 5, int y = 5) {
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(WORD(x), WORD(y)));
        SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(WORD(x), WORD(y)));
    }

    HWND parent = nullptr;
    std::vector<UINT> notifyCodes;
};

// ---- edit ----

TEST_F(ControlTest, EditTypingKeepsStyleAndLimit) {
    struct Case {
        const char* name;
        DWORD style;
        int limit; // 0: default
        const char* initial;
        const char* typed;
        const char* text;
        int beeps;
        int maxText;
    };
    const Case cases[] = {
        {"plain", 0, 0, "ab", "c", "abc", 0, 0},
        {"number refuses letters", ES_NUMBER, 0, "", "1a2", "12", 1, 0},
        {"limit cuts", 0, 3, "", "abcd", "abc", 0, 1},
        {"uppercase", ES_UPPERCASE, 0, "", "ab", "AB", 0, 0},
        {"backspace", 0, 0, "abc", "\b", "ab", 0, 0},
        {"backspace at start of empty", 0, 0, "", "\b", "", 0, 0},
        {"read-only", ES_READONLY, 0, "q", "x", "q", 1, 0},
        {"single line ignores Enter", 0, 0, "a", "\r", "a", 0, 0},
        {"multi-line wants return", ES_MULTILINE | ES_WANTRETURN, 0, "a", "\rb", "a\r\nb", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND edit = Control("Edit", c.style, 100, c.initial);
        if (c.limit) SendMessageA(edit, EM_LIMITTEXT, WPARAM(c.limit), 0);
        SendMessageA(edit, EM_SETSEL, WPARAM(-1), 0);
        SendMessageA(edit, WM_KEYDOWN, VK_END, 0);
        SdResetBeeps();
        events.clear();
        Chars(edit, c.typed);
        EXPECT_EQ(Text(edit), c.text);
        EXPECT_EQ(SdBeepCount(), c.beeps);
        int maxText = 0;
        for (WORD code : Codes())
            maxText += code == EN_MAXTEXT;
        EXPECT_EQ(maxText, c.maxText);
        DestroyWindow(edit);
    }
}

TEST_F(ControlTest, EditNotifiesEveryChangeAndFocus) {
    HWND edit = Control("Edit", ES_AUTOHSCROLL, 100);
    Notices();
    SetWindowTextA(edit, "12.5");
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    Chars(edit, "x");
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), TRUE);
    SetFocus(edit);
    SetFocus(parent);
    EXPECT_EQ(Codes(), (std::vector<WORD>{EN_SETFOCUS, EN_KILLFOCUS}));
    // A text set by a message leaves the modified flag clear.
    SetWindowTextA(edit, "1");
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), FALSE);
}

TEST_F(ControlTest, EditSelectionReplaceAndUndo) {
    HWND edit = Control("Edit", 0, 100, "hello world");
    SendMessageA(edit, EM_SETSEL, 6, -1);
    DWORD from = 0, to = 0;
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                           reinterpret_cast<LPARAM>(&to)),
              LRESULT(MAKELONG(6, 11)));
    EXPECT_EQ(from, 6u);
    EXPECT_EQ(to, 11u);
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("there"));
    EXPECT_EQ(Text(edit), "hello there");
    EXPECT_TRUE(SendMessageA(edit, EM_CANUNDO, 0, 0));
    SendMessageA(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), "hello world");
    // Reversed and out-of-range selections are put in order and clamped.
    SendMessageA(edit, EM_SETSEL, 50, 2);
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), LRESULT(MAKELONG(2, 11)));
    SendMessageA(edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(edit), "he");
    // EM_REPLACESEL keeps the limit too.
    SendMessageA(edit, EM_LIMITTEXT, 4, 0);
    SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("llo"));
    EXPECT_EQ(Text(edit), "hell");
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 4);
}

TEST_F(ControlTest, EditCutAndPasteGoThroughTheClipboard) {
    HWND edit = Control("Edit", 0, 100, "abcdef");
    SendMessageA(edit, EM_SETSEL, 1, 3);
    SendMessageA(edit, WM_CUT, 0, 0);
    EXPECT_EQ(Text(edit), "adef");
    SendMessageA(edit, EM_SETSEL, 4, 4);
    SendMessageA(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), "adefbc");
}

// ---- buttons ----

TEST_F(ControlTest, ButtonClicksByKind) {
    struct Case {
        const char* name;
        DWORD style;
        int clicks;
        LRESULT check;
    };
    const Case cases[] = {
        {"push", BS_PUSHBUTTON, 1, 0},
        {"check box stays", BS_CHECKBOX, 1, BST_UNCHECKED},
        {"auto check box", BS_AUTOCHECKBOX, 1, BST_CHECKED},
        {"auto check box twice", BS_AUTOCHECKBOX, 2, BST_UNCHECKED},
        {"auto three states", BS_AUTO3STATE, 2, BST_INDETERMINATE},
        {"auto three states round", BS_AUTO3STATE, 3, BST_UNCHECKED},
        {"owner-drawn", BS_OWNERDRAW, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND button = Control("Button", c.style, 7);
        Notices();
        for (int i = 0; i < c.clicks; ++i)
            Click(button);
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), c.check);
        EXPECT_EQ(Codes(), std::vector<WORD>(size_t(c.clicks), BN_CLICKED));
        DestroyWindow(button);
    }
}

TEST_F(ControlTest, ButtonClickNeedsReleaseInsideAndAnEnabledButton) {
    HWND button = Control("Button", BS_AUTOCHECKBOX, 7);
    Notices();
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), button);
    EXPECT_TRUE(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(500, 5)); // dragged off
    EXPECT_EQ(Codes(), std::vector<WORD>{});
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EnableWindow(button, FALSE);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(Codes(), std::vector<WORD>{});
    EnableWindow(button, TRUE);
    // Space bar: press and release.
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(Codes(), std::vector<WORD>{BN_CLICKED});
    EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ControlTest, AutoRadioButtonsUncheckTheirGroupOnly) {
    // Children are made bottom first here, so the group reads a, b, c | d in z-order.
    HWND d = Control("Button", BS_AUTORADIOBUTTON | WS_GROUP, 4);
    HWND c = Control("Button", BS_AUTORADIOBUTTON, 3);
    HWND b = Control("Button", BS_AUTORADIOBUTTON, 2);
    HWND a = Control("Button", BS_AUTORADIOBUTTON | WS_GROUP, 1);
    SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(d, BM_SETCHECK, BST_CHECKED, 0);
    Click(b);
    EXPECT_EQ(SendMessageA(a, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(b, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(c, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(d, BM_GETCHECK, 0, 0), BST_CHECKED);
    // The checked radio button is its group's tab stop.
    EXPECT_TRUE(GetWindowLongA(b, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(a, GWL_STYLE) & WS_TABSTOP);
}

TEST_F(ControlTest, OwnerDrawnButtonAsksItsParentToDraw) {
    HWND button = Control("Button", BS_OWNERDRAW, 9);
    DRAWITEMSTRUCT seen{};
    int draws = 0;
    answer = [&](HWND, UINT msg, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (msg != WM_DRAWITEM) return std::nullopt;
        seen = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        ++draws;
        return TRUE;
    };
    EnableWindow(button, FALSE);
    InvalidateRect(button, nullptr, TRUE);
    UpdateWindow(button);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(seen.CtlType, ODT_BUTTON);
    EXPECT_EQ(seen.CtlID, 9u);
    EXPECT_EQ(seen.hwndItem, button);
    EXPECT_EQ(seen.itemState & ODS_DISABLED, ODS_DISABLED);
    EXPECT_EQ(seen.rcItem.right, 100);
    EXPECT_EQ(SendMessageA(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

// ---- combo box and list box ----

TEST_F(ControlTest, ComboBoxSortsFindsByPrefixAndKeepsData) {
    HWND combo = Control("ComboBox", CBS_DROPDOWNLIST | CBS_SORT, 20);
    for (const char* text : {"Millimetres", "inches", "Centimetres", "Metres"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        char text[32] = {};
        SendMessageA(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        order.push_back(text);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"Centimetres", "inches", "Metres", "Millimetres"}));
    auto find = [&](int start, const char* text, UINT msg = CB_FINDSTRING) {
        return SendMessageA(combo, msg, WPARAM(start), reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(find(-1, "m"), 2);
    EXPECT_EQ(find(2, "M"), 3); // after the start
    EXPECT_EQ(find(3, "m"), 2); // wraps
    EXPECT_EQ(find(-1, "IN"), 1);
    EXPECT_EQ(find(-1, "x"), CB_ERR);
    EXPECT_EQ(find(-1, "metres", CB_FINDSTRINGEXACT), 2);
    EXPECT_EQ(find(-1, "metre", CB_FINDSTRINGEXACT), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 1, 254), TRUE);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 254);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 9, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 9, 0), CB_ERR);
    // Selection by message does not notify; a failed CB_SELECTSTRING keeps the selection.
    Notices();
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("cent")),
              0);
    EXPECT_EQ(SendMessageA(combo, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>("yard")),
              CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(combo), "Centimetres");
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(Codes(), std::vector<WORD>{});
}

TEST_F(ControlTest, DropDownBoxesAreOneFieldHighAndTheirScrollBarIsTheLists) {
    // A template gives the open list's height and WS_VSCROLL for that list.
    for (DWORD kind : {DWORD(CBS_DROPDOWNLIST), DWORD(CBS_DROPDOWN)}) {
        HWND combo = Control("ComboBox", kind | WS_VSCROLL, 22, "", RECT{10, 10, 110, 140});
        RECT r{};
        GetWindowRect(combo, &r);
        EXPECT_EQ(r.bottom - r.top, 22) << kind;
        EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & WS_VSCROLL, 0) << kind;
        GetClientRect(combo, &r);
        EXPECT_EQ(r.right, 100) << kind; // no room taken by a scroll bar
        // Later sizes keep the field's height too.
        MoveWindow(combo, 10, 10, 120, 200, TRUE);
        GetWindowRect(combo, &r);
        EXPECT_EQ(r.bottom - r.top, 22) << kind;
        EXPECT_EQ(r.right - r.left, 120) << kind;
        DestroyWindow(combo);
    }
    HWND simple = Control("ComboBox", CBS_SIMPLE, 23, "", RECT{10, 10, 110, 140});
    RECT r{};
    GetWindowRect(simple, &r);
    EXPECT_EQ(r.bottom - r.top, 130);
}

TEST_F(ControlTest, ComboBoxUserSelectionNotifies) {
    HWND combo = Control("ComboBox", CBS_DROPDOWNLIST, 20);
    for (const char* text : {"one", "two", "three"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    Notices();
    SendMessageA(combo, WM_KEYDOWN, VK_DOWN, 0); // closed: the first item
    EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_SELENDOK, CBN_SELCHANGE}));
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageA(combo, SD_CBM_PICKITEM, 2, 0);
    EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 2);
    SendMessageA(combo, WM_CHAR, 't', 0); // the next item starting with t, after the current
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
}

TEST_F(ControlTest, DropDownComboFieldEditsWithoutChangingTheList) {
    HWND combo = Control("ComboBox", CBS_DROPDOWN, 21);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alpha"));
    HWND field = GetDlgItem(combo, SD_COMBO_EDIT_ID);
    ASSERT_NE(field, nullptr);
    Notices();
    SendMessageA(combo, CB_SETCURSEL, 0, 0); // the field follows the list silently
    EXPECT_EQ(Text(combo), "alpha");
    EXPECT_EQ(Codes(), std::vector<WORD>{});
    Chars(field, "x");
    EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_EDITUPDATE, CBN_EDITCHANGE}));
    SetFocus(combo);
    EXPECT_EQ(GetFocus(), field);
    SetFocus(parent);
    EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_SETFOCUS, CBN_KILLFOCUS}));
}

TEST_F(ControlTest, ListBoxNotifiesOnlyWithNotifyStyleAndUserInput) {
    HWND list = Control("ListBox", LBS_NOTIFY | LBS_SORT, 30, "", {10, 10, 110, 110});
    for (const char* text : {"b", "c", "a"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    char first[8] = {};
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, "a");
    Notices();
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(Codes(), std::vector<WORD>{});
    Click(list, 5, 16 * 2 + 3); // the third row
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Codes(), (std::vector<WORD>{LBN_SETFOCUS, LBN_SELCHANGE}));
    EXPECT_EQ(SendMessageA(list, LB_DELETESTRING, 2, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 5, reinterpret_cast<LPARAM>(first)), LB_ERR);
}

TEST_F(ControlTest, MultipleSelectionListBox) {
    HWND list = Control("ListBox", LBS_MULTIPLESEL, 31, "", {10, 10, 110, 110});
    for (const char* text : {"a", "b", "c"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_SETSEL, TRUE, 0);
    SendMessageA(list, LB_SETSEL, TRUE, 2);
    int selected[4] = {};
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(selected)), 2);
    EXPECT_EQ(selected[1], 2);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 0, 0), LB_ERR);
}

// ---- scroll bar, up-down, trackbar ----

TEST_F(ControlTest, ScrollBarClampsAndTellsItsParent) {
    HWND bar = Control("ScrollBar", SBS_VERT, 40);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 10, 95, 0};
    EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, TRUE), 91); // last position is 100 - 10 + 1
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, -5, TRUE), 91);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    EXPECT_EQ(GetScrollPos(parent, SB_VERT), 0); // the parent's own bar is untouched
    EXPECT_EQ(GetScrollPos(parent, 7), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    Notices();
    SendMessageA(bar, WM_KEYDOWN, VK_DOWN, 0);
    std::vector<Notice> seen = Notices();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].msg, WM_VSCROLL);
    EXPECT_EQ(seen[0].code, SB_LINEDOWN);
    EXPECT_EQ(seen[1].code, SB_ENDSCROLL);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0); // the parent moves it
}

TEST_F(ControlTest, ScrollBarThumbDragsTrackAndEndAtTheRelease) {
    // 134 long: arrows of 16, a track of 102, a thumb of 10 (a page of 10 in 100) at 16..25.
    HWND bar = Control("ScrollBar", SBS_VERT, 41, "", {10, 10, 26, 144});
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    std::vector<int> tracked; // SIF_TRACKPOS as the parent reads it at each SB_THUMBTRACK
    answer = [&](HWND h, UINT msg, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (h == parent && msg == WM_VSCROLL && LOWORD(wParam) == SB_THUMBTRACK) {
            SCROLLINFO now{sizeof now, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            GetScrollInfo(bar, SB_CTL, &now);
            tracked.push_back(now.nTrackPos);
        }
        return std::nullopt;
    };
    Notices();
    sdtest::MouseEvent(bar, WM_LBUTTONDOWN, 8, 20); // 4 pixels into the thumb
    sdtest::MouseEvent(bar, WM_MOUSEMOVE, 8, 66);   // thumb at 62: 46 of 92 pixels, 45 of 90
    sdtest::MouseEvent(bar, WM_MOUSEMOVE, 12, 66);  // the same position: nothing sent
    sdtest::MouseEvent(bar, WM_MOUSEMOVE, 8, 400);  // past the end: the last position
    sdtest::MouseEvent(bar, WM_MOUSEMOVE, 8, -50);  // past the start
    sdtest::MouseEvent(bar, WM_MOUSEMOVE, 8, 66);
    EXPECT_EQ(tracked, (std::vector<int>{0, 45, 90, 0, 45}));
    sdtest::MouseEvent(bar, WM_LBUTTONUP, 8, 66);
    std::vector<Notice> seen = Notices();
    ASSERT_EQ(seen.size(), 7u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(seen[i].code, SB_THUMBTRACK);
        EXPECT_EQ(seen[i].pos, tracked[i]);
    }
    EXPECT_EQ(seen[5].code, SB_THUMBPOSITION);
    EXPECT_EQ(seen[5].pos, 45);
    EXPECT_EQ(seen[6].code, SB_ENDSCROLL);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0); // the parent moves it
    // Outside a drag the track position is the position.
    SetScrollPos(bar, SB_CTL, 45, TRUE);
    SCROLLINFO after{sizeof after, SIF_TRACKPOS, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &after);
    EXPECT_EQ(after.nTrackPos, 45);
    // A drag whose capture is taken away ends without a position.
    sdtest::MouseEvent(bar, WM_LBUTTONDOWN, 8, 70);
    ReleaseCapture();
    sdtest::MouseEvent(bar, WM_MOUSEMOVE, 8, 90);
    sdtest::MouseEvent(bar, WM_LBUTTONUP, 8, 90);
    seen = Notices();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].code, SB_THUMBTRACK);
    answer = nullptr; // it refers to this test's locals
}

TEST_F(ControlTest, UpDownStepsItsBuddyAndCanBeRefused) {
    HWND buddy = Control("Edit", 0, 50, "", {10, 10, 110, 30});
    HWND spin = Control(UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 51, "", {0, 0, 16, 20});
    EXPECT_EQ(SendMessageA(spin, UDM_GETRANGE, 0, 0), LRESULT(MAKELONG(0, 100))); // 100 down to 0
    SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    RECT r{};
    GetWindowRect(buddy, &r);
    EXPECT_EQ(r.right - r.left, 84); // gave up the spin's width
    SendMessageA(spin, UDM_SETRANGE32, 0, 2000);
    SendMessageA(spin, UDM_SETPOS32, 0, 999);
    EXPECT_EQ(Text(buddy), "999");
    Notices();
    Click(spin, 8, 2); // upper half: up
    EXPECT_EQ(Text(buddy), "1,000");
    std::vector<Notice> seen;
    for (const Notice& n : Notices())
        if (n.msg != WM_COMMAND) seen.push_back(n); // the buddy's own EN_CHANGE left out
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].msg, UINT(WM_NOTIFY));
    EXPECT_EQ(notifyCodes, std::vector<UINT>{UDN_DELTAPOS});
    EXPECT_EQ(seen[1].msg, UINT(WM_VSCROLL));
    EXPECT_EQ(seen[1].code, SB_THUMBPOSITION);
    EXPECT_EQ(seen[1].pos, 1000);
    EXPECT_EQ(seen[2].code, SB_ENDSCROLL);
    // Grouping of wide and negative positions, down to the lowest int.
    SendMessageA(spin, UDM_SETRANGE32, WPARAM(INT_MIN), INT_MAX);
    SendMessageA(spin, UDM_SETPOS32, 0, -1234567);
    EXPECT_EQ(Text(buddy), "-1,234,567");
    SendMessageA(spin, UDM_SETPOS32, 0, INT_MIN);
    EXPECT_EQ(Text(buddy), "-2,147,483,648");
    SendMessageA(spin, UDM_SETPOS32, 0, 123);
    EXPECT_EQ(Text(buddy), "123");
    SendMessageA(spin, UDM_SETRANGE32, 0, 2000);
    // The buddy's text is read back; a text that is no number in range reports an error.
    SetWindowTextA(buddy, "1,500");
    EXPECT_EQ(SendMessageA(spin, UDM_GETPOS, 0, 0), LRESULT(MAKELONG(1500, 0)));
    SetWindowTextA(buddy, "1x");
    EXPECT_NE(HIWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)), 0);
    // A parent answering UDN_DELTAPOS with nonzero refuses the step.
    SetWindowTextA(buddy, "7");
    answer = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_NOTIFY) return 1;
        return std::nullopt;
    };
    Click(spin, 8, 18);
    EXPECT_EQ(Text(buddy), "7");
}

TEST_F(ControlTest, UpDownEndsOrWrapsAtTheRange) {
    struct Case {
        DWORD style;
        int start;
        bool up;
        int expected;
    };
    const Case cases[] = {
        {0, 10, true, 10},        {0, 0, false, 0}, {UDS_WRAP, 10, true, 0},
        {UDS_WRAP, 0, false, 10}, {0, 5, false, 4},
    };
    for (const Case& c : cases) {
        HWND spin = Control(UPDOWN_CLASSA, c.style, 52, "", {0, 0, 16, 20});
        SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(10, 0));
        SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(WORD(c.start), 0));
        Click(spin, 8, c.up ? 2 : 18);
        EXPECT_EQ(LOWORD(SendMessageA(spin, UDM_GETPOS, 0, 0)), c.expected)
            << c.style << " " << c.start;
        DestroyWindow(spin);
    }
}

TEST_F(ControlTest, UpDownAutoBuddyIsTheWindowMadeBefore) {
    HWND edit = Control("Edit", 0, 60);
    HWND spin = Control(UPDOWN_CLASSA, UDS_AUTOBUDDY | UDS_SETBUDDYINT, 61, "", {0, 0, 16, 20});
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)), edit);
}

TEST_F(ControlTest, TrackbarMovesByKeysAndMouseAndNotifies) {
    HWND slider = Control(TRACKBAR_CLASSA, TBS_HORZ, 70, "", {0, 0, 101, 20});
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 50));
    SendMessageA(slider, TBM_SETPOS, TRUE, 60);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 50); // clamped, no notification
    EXPECT_EQ(Notices().size(), 0u);
    SendMessageA(slider, TBM_SETPAGESIZE, 0, 10);
    SendMessageA(slider, WM_KEYDOWN, VK_PRIOR, 0);
    SendMessageA(slider, WM_KEYUP, VK_PRIOR, 0);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 40);
    std::vector<Notice> seen = Notices();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].msg, UINT(WM_HSCROLL));
    EXPECT_EQ(seen[0].code, TB_PAGEUP);
    EXPECT_EQ(seen[1].code, TB_ENDTRACK);
    Click(slider, 50, 10); // the middle of 0..50
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 25);
    seen = Notices();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].code, TB_THUMBTRACK);
    EXPECT_EQ(seen[1].code, TB_THUMBPOSITION);
    EXPECT_EQ(seen[1].pos, 25);
    EXPECT_EQ(seen[2].code, TB_ENDTRACK);
}

TEST_F(ControlTest, PredefinedClassesAreRegisteredOnFirstUse) {
    WNDCLASSA wc{};
    for (const char* name : {"BUTTON", "edit", "Static", "LISTBOX", "ComboBox", "ScrollBar",
                             UPDOWN_CLASSA, TRACKBAR_CLASSA, "#32770"}) {
        EXPECT_TRUE(GetClassInfoA(nullptr, name, &wc)) << name;
    }
    EXPECT_TRUE(GetClassInfoA(nullptr, WC_DIALOG, &wc));
    EXPECT_STREQ(wc.lpszClassName, "#32770");
}

} // namespace
