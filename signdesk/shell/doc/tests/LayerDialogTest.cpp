// The layer dialog on the program's template: its list, checks and redraws.

#include <doc/CLayerDialog.h>
#include <doc/DocResourceIds.h>
#include <testing/DialogDriver.h>
#include <testing/InputDriver.h>
#include <win32/module.h>

#include "SignDocTestSupport.h"

namespace {

// Records the boxes a view would redraw.
class RedrawDoc : public CSignDoc {
public:
    void InvalidateUndoBox(const floatBBox* pBox) override {
        if (pBox) boxes.push_back(*pBox);
        CSignDoc::InvalidateUndoBox(pBox);
    }
    std::vector<floatBBox> boxes;
};

class LayerDialogTest : public SignDocTest {
protected:
    void SetUp() override {
        SignDocTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
    }
    void TearDown() override {
        if (dialog.m_hWnd) dialog.DestroyWindow();
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        SignDocTest::TearDown();
    }
    CPathObj* On(int layer, float x) {
        CPathObj* obj = Square(x, 0, 10, RGB(0, 0, 0));
        obj->SetLayer(char(layer), 0);
        doc.m_sheet.Add(obj);
        return obj;
    }
    void Open() {
        doc.m_sheet.CountLayerObjects();
        ASSERT_TRUE(dialog.CreateFor(&doc, nullptr));
        dialog.ShowWindow(SW_SHOW);
        PumpMessages();
    }
    std::vector<std::string> Entries() {
        std::vector<std::string> out;
        CCheckListBox& list = dialog.GetList();
        for (int i = 0; i < list.GetCount(); ++i) {
            CString text;
            list.GetText(i, text);
            out.push_back(std::string(LPCSTR(text)) + (list.GetCheck(i) ? " [x]" : " [ ]"));
        }
        return out;
    }
    // A click on the check box of entry i.
    void ClickBox(int i) {
        RECT item{};
        dialog.GetList().GetItemRect(i, &item);
        sdtest::Click(dialog.GetList().m_hWnd, item.left + 4, (item.top + item.bottom) / 2);
    }

    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    RedrawDoc doc;
    CLayerDialog dialog;
};

TEST_F(LayerDialogTest, AnEmptyDocumentListsNothing) {
    Open();
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_TRUE(Entries().empty());
}

TEST_F(LayerDialogTest, ListsTheLayersThatHoldObjectsInOrder) {
    CPathObj* three = On(3, 0);
    On(-5, 20);
    On(-127, 40);
    On(-5, 60);
    On(127, 80);
    doc.m_sheet.SetLayerVisible(3, FALSE);
    Open();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Layer: -127 [x]", "Layer: -5 [x]",
                                                   "Layer: 3 [ ]", "Layer: 127 [x]"}));
    // A layer whose last object went is gone at the next fill.
    doc.m_sheet.RemoveAt(0);
    delete three;
    doc.m_sheet.CountLayerObjects();
    dialog.Fill();
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"Layer: -127 [x]", "Layer: -5 [x]", "Layer: 127 [x]"}));
}

TEST_F(LayerDialogTest, ApplyHidesAndRedrawsOnlyTheChangedLayer) {
    On(2, 0);
    CPathObj* a = On(-5, 20);
    On(0, 40);
    CPathObj* b = On(-5, 60);
    Open();
    ASSERT_EQ(Entries().size(), 3u);
    // Clicking the box changes only the box.
    ClickBox(0);
    EXPECT_EQ(Entries()[0], "Layer: -5 [ ]");
    EXPECT_TRUE(doc.m_sheet.IsLayerVisible(-5));
    EXPECT_TRUE(doc.boxes.empty());
    ASSERT_TRUE(sdtest::Click(dialog.m_hWnd, IDC_LAYER_APPLY));
    EXPECT_FALSE(doc.m_sheet.IsLayerVisible(-5));
    EXPECT_TRUE(doc.m_sheet.IsLayerVisible(0));
    EXPECT_TRUE(doc.m_sheet.IsLayerVisible(2));
    ASSERT_EQ(doc.boxes.size(), 2u);
    EXPECT_EQ(doc.boxes[0].left, a->GetBBox()->left);
    EXPECT_EQ(doc.boxes[1].left, b->GetBBox()->left);
    // Applying again without a change redraws nothing.
    doc.boxes.clear();
    ASSERT_TRUE(sdtest::Click(dialog.m_hWnd, IDC_LAYER_APPLY));
    EXPECT_TRUE(doc.boxes.empty());
}

TEST_F(LayerDialogTest, ShowAllAndDoubleClickApplyAtOnce) {
    On(1, 0);
    On(4, 20);
    doc.m_sheet.SetLayerVisible(1, FALSE);
    doc.m_sheet.SetLayerVisible(4, FALSE);
    Open();
    ASSERT_TRUE(sdtest::Click(dialog.m_hWnd, IDC_LAYER_SHOW_ALL));
    EXPECT_TRUE(doc.m_sheet.IsLayerVisible(1));
    EXPECT_TRUE(doc.m_sheet.IsLayerVisible(4));
    EXPECT_EQ(doc.boxes.size(), 2u);
    // A double click on the second entry toggles and applies it.
    RECT item{};
    dialog.GetList().GetItemRect(1, &item);
    sdtest::DoubleClick(dialog.GetList().m_hWnd, item.left + 40, (item.top + item.bottom) / 2);
    EXPECT_EQ(Entries()[1], "Layer: 4 [ ]");
    EXPECT_FALSE(doc.m_sheet.IsLayerVisible(4));
    EXPECT_TRUE(doc.m_sheet.IsLayerVisible(1));
    // Closing clears the open flag and keeps the placement.
    ::SendMessageA(dialog.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    char placement[256] = {};
    ::GetPrivateProfileStringA("LayerDisplay", "WindowPos", "", placement, sizeof placement,
                               app->m_pszProfileName);
    EXPECT_STRNE(placement, "");
}

} // namespace
