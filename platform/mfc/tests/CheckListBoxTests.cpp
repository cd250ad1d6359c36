// The check list box: checks kept beside the items, toggled by a click on the box or the
// space bar, each toggle told to the parent.

#include <gtest/gtest.h>

#include "DialogTemplateBuilder.h"
#include "mfc/CCheckListBox.h"
#include "mfc/afx.h"
#include "testing/PlatformTest.h"

namespace {

constexpr WORD kList = 1041;

class ListDialog : public CDialog {
public:
    ListDialog() {
        static const DialogTemplateBuilder t = [] {
            DialogTemplateBuilder b(WS_POPUP | WS_CAPTION, 120, 90, "Colours");
            b.control("ListBox", "", kList,
                      LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | WS_TABSTOP, 5, 5, 100, 70);
            return b;
        }();
        m_template = t.get();
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        list.SubclassDlgItem(kList, this);
        return TRUE;
    }
    void OnChange() { ++changes; }

    LPCDLGTEMPLATE m_template;
    CCheckListBox list;
    int changes = 0;

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ListDialog, CDialog)
ON_CONTROL(CLBN_CHKCHANGE, kList, OnChange)
END_MESSAGE_MAP()

class CheckListBoxTest : public PlatformTest {};

TEST_F(CheckListBoxTest, ChecksFollowTheirItemsAndClicksOnTheBoxToggleThem) {
    ListDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(dialog.m_template));
    CCheckListBox& list = dialog.list;
    for (const char* item : {"red", "green", "blue"})
        list.AddString(item);
    list.SetCheck(0, 1);
    list.SetCheck(2, 1);
    list.SetCheck(7, 1); // no such item
    EXPECT_EQ(list.GetCheck(7), 0);
    list.InsertString(1, "black");
    EXPECT_EQ(list.GetCheck(0), 1);
    EXPECT_EQ(list.GetCheck(1), 0);
    EXPECT_EQ(list.GetCheck(3), 1);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCheck(0), 0);
    EXPECT_EQ(list.GetCheck(2), 1);

    // A click on the second item's box toggles it; one on its text does not.
    CRect r;
    ASSERT_NE(list.GetItemRect(1, &r), LB_ERR);
    const int y = (r.top + r.bottom) / 2;
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, y));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(4, y));
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(dialog.changes, 1);
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, y));
    list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(60, y));
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(dialog.changes, 1);

    // Space toggles the selected item.
    list.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(list.GetCheck(1), 0);
    EXPECT_EQ(dialog.changes, 2);

    list.ResetContent();
    list.AddString("white");
    EXPECT_EQ(list.GetCheck(0), 0);
    dialog.DestroyWindow();
}

} // namespace
