// The picture combo box and the shared half-tone palette.

#include <gtest/gtest.h>

#include <mfc/CGdiObject.h>
#include <mfc/afx.h>
#include <win32/GdiTesting.h>
#include <win32/module.h>

#include "data/shellui-test-ids.h"
#include "shell/CBmpComboBox.h"
#include "shell/HalftonePalette.h"
#include "testing/DibCanvas.h"
#include "testing/PlatformTest.h"

namespace {

// Counts the selection changes its combo box reports.
class ComboParent : public CWnd {
public:
    int selChanges = 0;
    BOOL Make() {
        return CreateEx(0, nullptr, "parent", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr);
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (LOWORD(DWORD(wParam)) == 500 && HIWORD(DWORD(wParam)) == CBN_SELCHANGE) ++selChanges;
        return CWnd::OnCommand(wParam, lParam);
    }
};

class BmpComboBoxTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = ::LoadLibraryA(SHELLUI_TEST_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        ASSERT_TRUE(parent.Make());
    }
    void TearDown() override {
        if (parent.m_hWnd) parent.DestroyWindow();
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        PlatformTest::TearDown();
    }
    DRAWITEMSTRUCT Item(CBmpComboBox& combo, int index, UINT state, HDC dc, RECT r) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = 500;
        dis.itemID = UINT(index);
        dis.itemState = state;
        dis.hwndItem = combo.m_hWnd;
        dis.hDC = dc;
        dis.rcItem = r;
        dis.itemData = index >= 0 ? combo.GetItemData(index) : 0;
        return dis;
    }
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    ComboParent parent;
};

TEST_F(BmpComboBoxTest, EntriesShowTheirPictureFromTheStripThenTheText) {
    CBmpComboBox combo(IDB_STRIP);
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | WS_CHILD, CRect(0, 0, 200, 120), &parent, 500));
    // The style is made owner-drawn with strings whatever the caller asked.
    const LONG style = ::GetWindowLongA(combo.m_hWnd, GWL_STYLE);
    EXPECT_TRUE(style & CBS_OWNERDRAWFIXED);
    EXPECT_TRUE(style & CBS_HASSTRINGS);
    EXPECT_EQ(combo.AddItem("Outline", 0), 0);
    EXPECT_EQ(combo.AddItem("Native", 2), 1);
    combo.AddString("plain");

    CString text;
    combo.GetItemText(1, text);
    EXPECT_STREQ(LPCSTR(text), "Native");
    combo.GetItemText(2, text);
    EXPECT_STREQ(LPCSTR(text), "plain");
    combo.GetItemText(-1, text);
    EXPECT_STREQ(LPCSTR(text), "");

    MEASUREITEMSTRUCT mis{};
    combo.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 200u);
    EXPECT_EQ(mis.itemHeight, 15u);

    DibCanvas canvas(120, 40);
    canvas.Clear(RGB(255, 255, 255));
    ::SetBkColor(canvas.dc.m_hDC, RGB(255, 255, 255));
    // Entry 1 (picture 2, blue) in a box at (4, 10).
    DRAWITEMSTRUCT dis = Item(combo, 1, 0, canvas.dc.m_hDC, RECT{4, 10, 104, 25});
    combo.DrawItem(&dis);
    SdGdiImage image = canvas.Read();
    EXPECT_EQ(image.at(4, 10), RGB(0, 0, 255));
    EXPECT_EQ(image.at(4 + 14, 10 + 14), RGB(0, 0, 255));
    // The picture's white column keeps the background; nothing is drawn above or left of it.
    EXPECT_EQ(image.at(4 + 15, 12), RGB(255, 255, 255));
    EXPECT_EQ(image.at(3, 12), RGB(255, 255, 255));
    EXPECT_EQ(image.at(10, 9), RGB(255, 255, 255));
    // Text only from 22 pixels right of the edge.
    auto inked = [&](int x0, int x1) {
        for (int y = 10; y < 25; ++y)
            for (int x = x0; x < x1; ++x)
                if (image.at(x, y) != RGB(255, 255, 255)) return true;
        return false;
    };
    EXPECT_FALSE(inked(4 + 16, 4 + 22));
    EXPECT_TRUE(inked(4 + 22, 104));

    // An entry without a picture: only its text.
    canvas.Clear(RGB(255, 255, 255));
    dis = Item(combo, 2, 0, canvas.dc.m_hDC, RECT{4, 10, 104, 25});
    combo.DrawItem(&dis);
    image = canvas.Read();
    EXPECT_FALSE(inked(4, 4 + 22));
    EXPECT_TRUE(inked(4 + 22, 104));

    // Selected: the highlight colour fills the entry.
    dis = Item(combo, 0, ODS_SELECTED, canvas.dc.m_hDC, RECT{4, 10, 104, 25});
    combo.DrawItem(&dis);
    image = canvas.Read();
    EXPECT_EQ(image.at(100, 11), ::GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(BmpComboBoxTest, TheParentFollowsTheHighlightOncePerNewEntry) {
    CBmpComboBox combo(IDB_STRIP);
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | WS_CHILD, CRect(0, 0, 200, 120), &parent, 500));
    for (const char* name : {"a", "b", "c"})
        combo.AddItem(name, 1);
    DibCanvas canvas(120, 20);
    const struct {
        int index;
        UINT state;
        int changes;
    } steps[] = {
        {0, ODS_SELECTED, 0}, // the remembered entry at the start
        {1, ODS_SELECTED, 1},
        {1, ODS_SELECTED, 1},
        {2, 0, 1},
        {2, ODS_SELECTED, 2},
        {0, ODS_SELECTED | ODS_FOCUS, 3},
    };
    for (const auto& s : steps) {
        DRAWITEMSTRUCT dis = Item(combo, s.index, s.state, canvas.dc.m_hDC, RECT{0, 0, 100, 15});
        combo.DrawItem(&dis);
        EXPECT_EQ(parent.selChanges, s.changes) << "entry " << s.index;
    }
}

TEST_F(BmpComboBoxTest, WithoutItsStripEntriesStillDrawTheirText) {
    CBmpComboBox combo(9999); // no such bitmap
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | WS_CHILD, CRect(0, 0, 200, 120), &parent, 500));
    combo.AddItem("only text", 3);
    DibCanvas canvas(120, 20);
    canvas.Clear(RGB(255, 255, 255));
    ::SetBkColor(canvas.dc.m_hDC, RGB(255, 255, 255));
    DRAWITEMSTRUCT dis = Item(combo, 0, 0, canvas.dc.m_hDC, RECT{0, 0, 100, 15});
    combo.DrawItem(&dis);
    const SdGdiImage image = canvas.Read();
    EXPECT_EQ(image.at(2, 2), RGB(255, 255, 255));
    // Destroying the window drops the records; the list text stays readable until then.
    combo.DestroyWindow();
}

TEST(HalftonePalette, CountedAcquireAndRelease) {
    ASSERT_EQ(GetAppPalette(), nullptr);
    ASSERT_TRUE(AcquireHalftonePalette());
    CPalette* palette = GetAppPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->GetEntryCount(), 256);
    ASSERT_TRUE(AcquireHalftonePalette());
    EXPECT_EQ(GetAppPalette(), palette);
    ReleaseHalftonePalette();
    EXPECT_EQ(GetAppPalette(), palette);
    ReleaseHalftonePalette();
    EXPECT_EQ(GetAppPalette(), nullptr);
    // A release too many changes nothing; the next acquire makes a new palette.
    ReleaseHalftonePalette();
    ASSERT_TRUE(AcquireHalftonePalette());
    EXPECT_NE(GetAppPalette(), nullptr);
    ReleaseHalftonePalette();
    EXPECT_EQ(GetAppPalette(), nullptr);
}

} // namespace
