// Message maps, command routing with the update query, subclassing and the message pump.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mfc/afx.h"
#include "testing/PlatformTest.h"
#include "win32/controls.h"

namespace {

std::vector<std::string> g_log;

void note(const std::string& s) {
    g_log.push_back(s);
}


class CommandWnd : public CWnd {
public:
    BOOL m_enabled = TRUE;
    BOOL CreateTop() {
        return CreateEx(0, nullptr, "commands", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                        nullptr);
    }

protected:
    void OnEdit() { note("cmd 100"); }
    void OnUpdateEdit(CCmdUI* ui) {
        note("update " + std::to_string(ui->m_nID));
        ui->Enable(m_enabled);
    }
    void OnTool(UINT id) { note("tool " + std::to_string(id)); }
    void OnUpdateTool(CCmdUI* ui) {
        note("update " + std::to_string(ui->m_nID));
        ui->SetCheck(ui->m_nID == 203);
    }
    void OnFieldChange() { note("change 5"); }
    void OnDelta(NMHDR* header, LRESULT* result) {
        note("notify " + std::to_string(header->idFrom));
        *result = 42;
    }
    LRESULT OnPrivate(WPARAM w, LPARAM l) { return LRESULT(w + l); }
    void OnSize(UINT type, int cx, int cy) {
        note("size " + std::to_string(type) + " " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandWnd, CWnd)
    ON_COMMAND(100, OnEdit)
    ON_UPDATE_COMMAND_UI(100, OnUpdateEdit)
    ON_COMMAND_RANGE(200, 210, OnTool)
    ON_UPDATE_COMMAND_UI_RANGE(200, 210, OnUpdateTool)
    ON_CONTROL(0x0300, 5, OnFieldChange)
    ON_NOTIFY(UINT(-722), 6, OnDelta)
    ON_MESSAGE(WM_APP + 1, OnPrivate)
    ON_WM_SIZE()
END_MESSAGE_MAP()

// A derived map: its own entry first, the base's entries still reached.
class DerivedCommandWnd : public CommandWnd {
protected:
    void OnOwnEdit() { note("derived 100"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedCommandWnd, CommandWnd)
    ON_COMMAND(100, OnOwnEdit)
END_MESSAGE_MAP()

class MessageMapTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        g_log.clear();
    }
};

LRESULT command(CWnd& wnd, UINT id, WORD code = 0, HWND control = nullptr) {
    return wnd.SendMessage(WM_COMMAND, MAKEWPARAM(WORD(id), code),
                           reinterpret_cast<LPARAM>(control));
}

} // namespace

TEST_F(MessageMapTest, MenuCommandAsksTheUpdateHandlerFirst) {
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    g_log.clear();
    command(wnd, 100);
    EXPECT_EQ(g_log, (std::vector<std::string>{"update 100", "cmd 100"}));

    g_log.clear();
    wnd.m_enabled = FALSE;
    command(wnd, 100);
    EXPECT_EQ(g_log, (std::vector<std::string>{"update 100"})) << "a disabled command runs";

    // Routing by hand: the query answers through a CTestCmdUI.
    CTestCmdUI state;
    state.m_nID = 100;
    EXPECT_TRUE(wnd.OnCmdMsg(100, CN_UPDATE_COMMAND_UI, &state, nullptr));
    EXPECT_FALSE(state.m_bEnabled);
    AFX_CMDHANDLERINFO info{};
    EXPECT_TRUE(wnd.OnCmdMsg(100, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(info.pTarget, &wnd);
    EXPECT_FALSE(wnd.OnCmdMsg(101, CN_COMMAND, nullptr, &info));
}

TEST_F(MessageMapTest, RangesCoverTheirIdsOnly) {
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    struct Case {
        UINT id;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {200, {"update 200", "tool 200"}},
        {205, {"update 205", "tool 205"}},
        {210, {"update 210", "tool 210"}},
        {199, {}},
        {211, {}},
    };
    for (const Case& c : cases) {
        g_log.clear();
        command(wnd, c.id);
        EXPECT_EQ(g_log, c.log) << c.id;
    }
    CTestCmdUI state;
    state.m_nID = 203;
    wnd.OnCmdMsg(203, CN_UPDATE_COMMAND_UI, &state, nullptr);
    EXPECT_EQ(state.m_nCheck, 1);
}

TEST_F(MessageMapTest, ControlsNotificationsAndMessages) {
    CommandWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    HWND field = ::CreateWindowExA(0, AfxRegisterWndClass(0), "", WS_CHILD, 0, 0, 10, 10,
                                   wnd.m_hWnd, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ASSERT_NE(field, nullptr);
    g_log.clear();
    // A control's notification: no update query.
    command(wnd, 5, 0x0300, field);
    command(wnd, 5, 0x0400, field);
    EXPECT_EQ(g_log, (std::vector<std::string>{"change 5"}));

    g_log.clear();
    NMHDR header{field, 6, UINT(-722)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 6, reinterpret_cast<LPARAM>(&header)), 42);
    header.idFrom = 7;
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"notify 6"}));

    EXPECT_EQ(wnd.SendMessage(WM_APP + 1, 40, 2), 42);
    g_log.clear();
    wnd.MoveWindow(0, 0, 300, 120);
    EXPECT_EQ(g_log, (std::vector<std::string>{"size 0 300x120"}));
}

TEST_F(MessageMapTest, DerivedMapComesFirst) {
    DerivedCommandWnd wnd;
    ASSERT_TRUE(wnd.CreateTop());
    g_log.clear();
    command(wnd, 100);
    command(wnd, 204);
    EXPECT_EQ(g_log, (std::vector<std::string>{"update 100", "derived 100", "update 204",
                                               "tool 204"}));
}

namespace {

LRESULT probeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CHAR || msg == WM_LBUTTONDOWN) note("control " + std::to_string(msg));
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

class SubclassedControl : public CWnd {
protected:
    void OnChar(UINT nChar, UINT, UINT) {
        note("object char " + std::to_string(nChar));
        if (nChar != 'x') Default(); // 'x' is swallowed
    }
    void OnLButtonDown(UINT, CPoint point) {
        note("object click " + std::to_string(point.x) + "," + std::to_string(point.y));
        CWnd::OnLButtonDown(0, point);
    }
    void OnSetFocus(CWnd*) {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SubclassedControl, CWnd)
    ON_WM_CHAR()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

} // namespace

TEST_F(MessageMapTest, SubclassedControlSeesMessagesFirst) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = probeProc;
    wc.lpszClassName = "ProbeControl";
    ASSERT_NE(::RegisterClassA(&wc), 0);
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                nullptr));
    HWND control = ::CreateWindowExA(0, "ProbeControl", "", WS_CHILD, 0, 0, 10, 10,
                                     parent.m_hWnd, reinterpret_cast<HMENU>(1001), nullptr,
                                     nullptr);
    ASSERT_NE(control, nullptr);
    CWnd* temporary = CWnd::FromHandle(control);
    EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);
    EXPECT_EQ(temporary->m_hWnd, control);

    SubclassedControl object;
    ASSERT_TRUE(object.SubclassDlgItem(1001, &parent));
    EXPECT_EQ(CWnd::FromHandlePermanent(control), &object);
    EXPECT_EQ(parent.GetDlgItem(1001), &object);
    EXPECT_FALSE(SubclassedControl().SubclassDlgItem(1002, &parent)) << "no such control";

    g_log.clear();
    ::SendMessageA(control, WM_CHAR, 'a', 0);
    ::SendMessageA(control, WM_CHAR, 'x', 0);
    ::SendMessageA(control, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(g_log, (std::vector<std::string>{"object char 97", "control 258", "object char 120",
                                               "object click 3,4", "control 513"}));

    EXPECT_EQ(object.UnsubclassWindow(), control);
    EXPECT_EQ(CWnd::FromHandlePermanent(control), nullptr);
    g_log.clear();
    ::SendMessageA(control, WM_CHAR, 'x', 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"control 258"}));
}

namespace {

class DestroyWatch : public CWnd {
public:
    bool* m_postNcDestroy = nullptr;
    void PostNcDestroy() override { *m_postNcDestroy = true; }
};

class ReflectingChild : public CWnd {
protected:
    void OnReflectedClick() { note("child reflects"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingChild, CWnd)
    ON_CONTROL_REFLECT(0, OnReflectedClick)
END_MESSAGE_MAP()

class ParentOfReflecting : public CWnd {
protected:
    void OnClick() { note("parent handles"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ParentOfReflecting, CWnd)
    ON_CONTROL(0, 9, OnClick)
END_MESSAGE_MAP()

} // namespace

TEST_F(MessageMapTest, DestructionDetachesTheObject) {
    bool post = false;
    DestroyWatch wnd;
    wnd.m_postNcDestroy = &post;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
    HWND hwnd = wnd.m_hWnd;
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_TRUE(post);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(MessageMapTest, ObjectGoingAwayDestroysItsWindow) {
    HWND hwnd = nullptr;
    {
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
        hwnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST_F(MessageMapTest, ChildReflectsItsOwnNotification) {
    ParentOfReflecting parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "p", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                nullptr));
    ReflectingChild reflecting;
    ASSERT_TRUE(reflecting.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &parent, 9));
    CWnd plain;
    ASSERT_TRUE(plain.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &parent, 9));
    g_log.clear();
    command(parent, 9, 0, reflecting.m_hWnd);
    command(parent, 9, 0, plain.m_hWnd);
    EXPECT_EQ(g_log, (std::vector<std::string>{"child reflects", "parent handles"}));
}

namespace {

class CountingWnd : public CWnd {
public:
    int m_count = 0;

protected:
    LRESULT OnUnitChange(WPARAM, LPARAM) {
        ++m_count;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingWnd, CWnd)
    ON_MESSAGE(WM_APP + 7, OnUnitChange)
END_MESSAGE_MAP()

} // namespace

TEST_F(MessageMapTest, SendMessageToDescendants) {
    CountingWnd top;
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
    CountingWnd child;
    ASSERT_TRUE(child.Create(nullptr, "", WS_CHILD, CRect(0, 0, 50, 50), &top, 1));
    CountingWnd grandchild;
    ASSERT_TRUE(grandchild.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &child, 2));
    top.SendMessageToDescendants(WM_APP + 7, 0, 0, FALSE);
    EXPECT_EQ(top.m_count, 0);
    EXPECT_EQ(child.m_count, 1);
    EXPECT_EQ(grandchild.m_count, 0);
    top.SendMessageToDescendants(WM_APP + 7);
    EXPECT_EQ(child.m_count, 2);
    EXPECT_EQ(grandchild.m_count, 1);
}

namespace {

class EnterEater : public CWnd {
public:
    int m_keys = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
            note("eaten");
            return TRUE;
        }
        return FALSE;
    }

protected:
    void OnKeyDown(UINT nChar, UINT, UINT) { note("key " + std::to_string(nChar)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EnterEater, CWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class ParentEater : public CWnd {
public:
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
            note("parent eaten");
            return TRUE;
        }
        return FALSE;
    }
};

} // namespace

TEST_F(MessageMapTest, PumpMessageAsksPreTranslateMessageUpTheTree) {
    CWinApp app("pump");
    ParentEater main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                              nullptr));
    app.m_pMainWnd = &main;
    EnterEater field;
    ASSERT_TRUE(field.Create(nullptr, "", WS_CHILD, CRect(0, 0, 5, 5), &main, 3));
    g_log.clear();
    field.PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    field.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    field.PostMessage(WM_KEYDOWN, VK_F2, 0);
    ::PostQuitMessage(5);
    EXPECT_EQ(app.Run(), 5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"eaten", "parent eaten", "key 113"}));
    app.m_pMainWnd = nullptr;
}
