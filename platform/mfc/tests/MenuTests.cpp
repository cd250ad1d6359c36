// Menus from resources, item texts by command, and update handlers on menu items.

#include <gtest/gtest.h>

#include "data/mfc-test-ids.h"
#include "mfc/afx.h"
#include "testing/PlatformTest.h"
#include "win32/module.h"

namespace {

class MenuTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        m_module = ::LoadLibraryA(MFC_TEST_RES);
        ASSERT_NE(m_module, nullptr);
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_module);
    }
    void TearDown() override {
        AfxSetResourceHandle(m_previous);
        if (m_module != nullptr) ::FreeLibrary(m_module);
        PlatformTest::TearDown();
    }
    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
};

class UpdatingTarget : public CCmdTarget {
protected:
    void OnUpdateProperties(CCmdUI* ui) {
        ui->Enable(FALSE);
        ui->SetText("&Properties of 2 objects...");
    }
    void OnUpdateCopy(CCmdUI* ui) { ui->SetCheck(1); }
    void OnCopy() {}
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(UpdatingTarget, CCmdTarget)
ON_UPDATE_COMMAND_UI(ID_PROPERTIES, OnUpdateProperties)
ON_UPDATE_COMMAND_UI(ID_COPY, OnUpdateCopy)
ON_COMMAND(ID_COPY, OnCopy)
END_MESSAGE_MAP()

} // namespace

TEST_F(MenuTest, LoadAppendAndTextsByCommand) {
    CMenu source;
    ASSERT_TRUE(source.LoadMenu(IDR_CONTEXT));
    CMenu* popup = source.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetMenuItemCount(), 3);
    EXPECT_EQ(popup->GetMenuItemID(2), UINT(ID_COPY));

    // A context menu assembled from items found by command in the loaded one.
    CMenu context;
    ASSERT_TRUE(context.CreatePopupMenu());
    for (UINT id : {UINT(ID_COPY), UINT(ID_PROPERTIES), UINT(ID_PASTE)}) {
        CString text;
        source.GetMenuString(id, text, MF_BYCOMMAND);
        EXPECT_TRUE(context.AppendMenu(MF_STRING, id, text));
    }
    CString text;
    EXPECT_EQ(context.GetMenuString(ID_PROPERTIES, text, MF_BYCOMMAND), 14);
    EXPECT_EQ(text, CString("&Properties..."));
    EXPECT_EQ(context.GetMenuString(ID_PASTE, text, MF_BYCOMMAND), 0);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(context.GetMenuString(99, text, MF_BYCOMMAND), 0);

    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(context.TrackPopupMenu(TPM_RETURNCMD | TPM_RIGHTBUTTON, 5, 5, &wnd), 0)
        << "headless, nothing is chosen";

    EXPECT_FALSE(CMenu().LoadMenu(4711));
    HMENU handle = context.Detach();
    EXPECT_EQ(context.m_hMenu, nullptr);
    EXPECT_TRUE(::IsMenu(handle));
    EXPECT_TRUE(::DestroyMenu(handle));
}

TEST_F(MenuTest, UpdateHandlersSetMenuItems) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT));
    CMenu* popup = menu.GetSubMenu(0);
    popup->AppendMenu(MF_STRING, ID_PASTE, "&Paste");
    UpdatingTarget target;
    CCmdUI state;
    state.m_pMenu = popup;
    state.m_nIndexMax = UINT(popup->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = popup->GetMenuItemID(int(state.m_nIndex));
        if (state.m_nID == 0) continue; // separator
        state.DoUpdate(&target, TRUE);
    }
    EXPECT_EQ(popup->GetMenuState(ID_PROPERTIES, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    CString text;
    popup->GetMenuString(ID_PROPERTIES, text, MF_BYCOMMAND);
    EXPECT_EQ(text, CString("&Properties of 2 objects..."));
    EXPECT_EQ(popup->GetMenuState(ID_COPY, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED), MF_CHECKED);
    // No handler at all: grayed.
    EXPECT_EQ(popup->GetMenuState(ID_PASTE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
}

TEST_F(MenuTest, SetRadioChecksMenuItemsWithABullet) {
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, ID_COPY, "&Small");
    CCmdUI ui;
    ui.m_pMenu = &popup;
    ui.m_nIndex = 0;
    ui.m_nIndexMax = 1;
    ui.m_nID = ID_COPY;
    const UINT marks = MF_CHECKED | MFT_RADIOCHECK;
    ui.SetRadio(TRUE);
    EXPECT_EQ(popup.GetMenuState(0, MF_BYPOSITION) & marks, marks);
    ui.SetText("&Tiny"); // the kind stays with a new text
    EXPECT_EQ(popup.GetMenuState(0, MF_BYPOSITION) & marks, marks);
    ui.SetRadio(FALSE);
    EXPECT_EQ(popup.GetMenuState(0, MF_BYPOSITION) & MF_CHECKED, 0u);
}
