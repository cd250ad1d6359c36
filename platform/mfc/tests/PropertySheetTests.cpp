// Property sheets: page changes, validation of every page on OK, the buttons.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTemplateBuilder.h"
#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/InputDriver.h"
#include "testing/PlatformTest.h"

namespace {

const DialogTemplateBuilder& pageTemplate(WORD editId, const char* caption) {
    static std::vector<std::unique_ptr<DialogTemplateBuilder>> kept;
    auto b = std::make_unique<DialogTemplateBuilder>(WS_CHILD | DS_CONTROL, 150, 80, caption);
    b->control("Edit", "", editId, WS_TABSTOP | WS_BORDER, 10, 10, 60, 12);
    kept.push_back(std::move(b));
    return *kept.back();
}

class LayerPage : public CPropertyPage {
public:
    LayerPage() : CPropertyPage(0U) { m_lpDialogTemplate = pageTemplate(201, "Layer").get(); }
    int m_layer = 1;
    int m_applied = 0;
    BOOL OnApply() override {
        ++m_applied;
        return CPropertyPage::OnApply();
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 201, m_layer);
        DDV_MinMaxInt(pDX, m_layer, 1, 10);
    }
};

class NamePage : public CPropertyPage {
public:
    NamePage() : CPropertyPage(0U) { m_lpDialogTemplate = pageTemplate(301, "Name").get(); }
    CString m_name = "none";
    int m_applied = 0;
    BOOL m_cancelAllowed = TRUE;
    BOOL OnApply() override {
        ++m_applied;
        return CPropertyPage::OnApply();
    }
    BOOL OnQueryCancel() override { return m_cancelAllowed; }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 301, m_name); }
};

class OptionsSheet : public CPropertySheet {
    DECLARE_DYNAMIC(OptionsSheet)
public:
    OptionsSheet() : CPropertySheet("Options") {
        AddPage(&m_layerPage);
        AddPage(&m_namePage);
    }
    LayerPage m_layerPage;
    NamePage m_namePage;
};

IMPLEMENT_DYNAMIC(OptionsSheet, CPropertySheet)

class PropertySheetTest : public PlatformTest {};

bool visible(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    return item != nullptr && (::GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

} // namespace

TEST_F(PropertySheetTest, RefusingPageBlocksTheChangeAndOK) {
    OptionsSheet sheet;
    SetDialogScriptForClass("OptionsSheet", [&](HWND hwnd) {
        ASSERT_EQ(CWnd::FromHandlePermanent(hwnd), &sheet);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        EXPECT_EQ(sheet.m_namePage.m_hWnd, nullptr) << "pages are made when first shown";
        HWND layer = sheet.m_layerPage.m_hWnd;
        EXPECT_EQ(sdtest::TextOf(layer, 201), "1");
        EXPECT_TRUE(visible(hwnd, IDOK));
        EXPECT_TRUE(visible(hwnd, IDCANCEL));
        EXPECT_TRUE(visible(hwnd, ID_APPLY_NOW));
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, ID_APPLY_NOW)));
        EXPECT_FALSE(visible(hwnd, IDHELP));

        sdtest::Type(layer, 201, "20");
        PushMessageBoxAnswer(IDOK);
        EXPECT_FALSE(sheet.SetActivePage(1));
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), 201);

        PushMessageBoxAnswer(IDOK);
        sdtest::Click(hwnd, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hwnd)) << "OK with a page refusing";
        EXPECT_EQ(sheet.m_layerPage.m_applied, 0);

        sdtest::Type(layer, 201, "7");
        EXPECT_TRUE(sheet.SetActivePage(1));
        EXPECT_FALSE(::IsWindowVisible(layer));
        EXPECT_TRUE(::IsWindowVisible(sheet.m_namePage.m_hWnd));
        sdtest::Type(sheet.m_namePage.m_hWnd, 301, "Front");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(sheet.m_layerPage.m_layer, 7);
    EXPECT_EQ(sheet.m_namePage.m_name, CString("Front"));
    EXPECT_EQ(sheet.m_layerPage.m_applied, 1);
    EXPECT_EQ(sheet.m_namePage.m_applied, 1);
    EXPECT_EQ(MessageBoxLog().size(), 2u);
    EXPECT_EQ(MessageBoxLog()[0].text, "Please enter a whole number from 1 to 10.");
}

TEST_F(PropertySheetTest, OkValidatesEveryPageMade) {
    OptionsSheet sheet;
    // OnApply of a page refuses through its data exchange.
    struct StrictLayerPage : LayerPage {
        BOOL OnApply() override { return UpdateData(TRUE) && LayerPage::OnApply(); }
    };
    StrictLayerPage strict;
    sheet.RemovePage(0);
    sheet.AddPage(&strict);
    sheet.RemovePage(0);
    sheet.AddPage(&sheet.m_namePage);
    // Order is now: strict layer page, name page.
    ASSERT_EQ(sheet.GetPage(0), &strict);
    SetDialogScriptForClass("OptionsSheet", [&](HWND hwnd) {
        sheet.SetActivePage(1);
        // The layer page, no longer shown, is made invalid behind the user's back: OK brings
        // it back to the front and the sheet stays.
        ::SetDlgItemTextA(strict.m_hWnd, 201, "0");
        PushMessageBoxAnswer(IDOK);
        sdtest::Click(hwnd, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        sdtest::Type(strict.m_hWnd, 201, "4");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(strict.m_layer, 4);
}

TEST_F(PropertySheetTest, ApplyCancelAndHiddenButtons) {
    OptionsSheet sheet;
    sheet.m_psh.dwFlags |= PSH_HASHELP;
    SetDialogScriptForClass("OptionsSheet", [&](HWND hwnd) {
        EXPECT_TRUE(visible(hwnd, IDHELP));
        sheet.GetDlgItem(IDHELP)->ShowWindow(SW_HIDE);
        EXPECT_FALSE(visible(hwnd, IDHELP));
        sdtest::Type(sheet.m_layerPage.m_hWnd, 201, "3");
        sheet.m_layerPage.SetModified();
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hwnd, ID_APPLY_NOW)));
        EXPECT_TRUE(sheet.PressButton(PSBTN_APPLYNOW));
        EXPECT_EQ(sheet.m_layerPage.m_layer, 3);
        EXPECT_EQ(sheet.m_layerPage.m_applied, 1);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hwnd, ID_APPLY_NOW)));
        EXPECT_TRUE(::IsWindowVisible(hwnd));

        sheet.SetActivePage(1);
        sheet.m_namePage.m_cancelAllowed = FALSE;
        sdtest::Click(hwnd, IDCANCEL);
        EXPECT_TRUE(::IsWindowVisible(hwnd)) << "the page refused the cancel";
        sheet.m_namePage.m_cancelAllowed = TRUE;
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);

    OptionsSheet plain;
    plain.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    SetDialogScriptForClass("OptionsSheet", [&](HWND hwnd) {
        EXPECT_FALSE(visible(hwnd, ID_APPLY_NOW));
        EXPECT_FALSE(plain.PressButton(PSBTN_HELP)) << "no help button to press";
        sdtest::PressKey(hwnd, VK_ESCAPE);
    });
    EXPECT_EQ(plain.DoModal(), IDCANCEL);
}

TEST_F(PropertySheetTest, ModelessSheet) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 600, 400, nullptr,
                               nullptr));
    OptionsSheet sheet;
    sheet.SetActivePage(1);
    ASSERT_TRUE(sheet.Create(&owner));
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(sheet.IsWindowVisible());
    EXPECT_TRUE(owner.IsWindowEnabled());
    CRect page, ok;
    sheet.m_namePage.GetWindowRect(&page);
    sheet.GetDlgItem(IDOK)->GetWindowRect(&ok);
    EXPECT_GE(ok.top, page.bottom) << "the buttons sit below the pages";
    ::SetDlgItemTextA(sheet.m_namePage.m_hWnd, 301, "Side");
    EXPECT_TRUE(sheet.PressButton(PSBTN_OK));
    EXPECT_EQ(sheet.m_namePage.m_name, CString("Side"));
    EXPECT_FALSE(sheet.IsWindowVisible());
    EXPECT_TRUE(sheet.DestroyWindow());
    EXPECT_EQ(sheet.m_namePage.m_hWnd, nullptr);
}

TEST_F(PropertySheetTest, ControlKeysTurnThePages) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 600, 400, nullptr,
                               nullptr));
    OptionsSheet sheet;
    ASSERT_TRUE(sheet.Create(&owner));
    ::SetFocus(::GetDlgItem(sheet.m_layerPage.m_hWnd, 201));
    const struct {
        int key;
        bool shift;
        int page;
    } steps[] = {{VK_TAB, false, 1}, {VK_TAB, false, 0}, {VK_TAB, true, 1},
                 {VK_PRIOR, false, 0}, {VK_NEXT, false, 1}};
    for (const auto& step : steps) {
        sdtest::KeyDown(VK_CONTROL);
        if (step.shift) sdtest::KeyDown(VK_SHIFT);
        sdtest::PressKey(step.key);
        if (step.shift) sdtest::KeyUp(VK_SHIFT);
        sdtest::KeyUp(VK_CONTROL);
        EXPECT_EQ(sheet.GetActiveIndex(), step.page) << step.key << " " << step.shift;
        // The keys stay with the page shown.
        EXPECT_TRUE(::IsChild(sheet.GetActivePage()->m_hWnd, ::GetFocus()));
    }
    // A page refusing to be left keeps the keys from turning it.
    sheet.SetActivePage(0);
    sdtest::Type(sheet.m_layerPage.m_hWnd, 201, "20");
    PushMessageBoxAnswer(IDOK);
    sdtest::KeyDown(VK_CONTROL);
    sdtest::PressKey(VK_TAB);
    sdtest::KeyUp(VK_CONTROL);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_TRUE(sheet.DestroyWindow());
}

TEST_F(PropertySheetTest, ClickingATabShowsItsPage) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 600, 400, nullptr,
                               nullptr));
    OptionsSheet sheet;
    ASSERT_TRUE(sheet.Create(&owner));
    HWND tabs = ::GetDlgItem(sheet.m_hWnd, 0x3020);
    ASSERT_NE(tabs, nullptr);
    CRect row, page;
    ::GetWindowRect(tabs, &row);
    sheet.m_layerPage.GetWindowRect(&page);
    EXPECT_EQ(page.top, row.bottom) << "the pages sit below the tabs";
    // A tab shows its page's caption before the page is made.
    EXPECT_EQ(sheet.m_namePage.m_hWnd, nullptr);
    EXPECT_EQ(sheet.m_namePage.m_strCaption, CString("Name"));
    // "Layer" is the first tab: a click well to its right lands on "Name".
    SIZE text{};
    HDC dc = ::GetDC(tabs);
    ::SelectObject(dc, HGDIOBJ(sheet.SendMessage(WM_GETFONT)));
    ::GetTextExtentPoint32A(dc, "Layer", 5, &text);
    ::ReleaseDC(tabs, dc);
    const int nameX = 2 + int(text.cx) + 12 + 8;
    sdtest::Click(tabs, nameX, 10);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(::IsWindowVisible(sheet.m_namePage.m_hWnd));
    sdtest::Click(tabs, 6, 10);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    // A page refusing to be left keeps its tab.
    sdtest::Type(sheet.m_layerPage.m_hWnd, 201, "20");
    PushMessageBoxAnswer(IDOK);
    sdtest::Click(tabs, nameX, 10);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    // Clicks beside the tabs do nothing.
    sdtest::Type(sheet.m_layerPage.m_hWnd, 201, "3");
    sdtest::Click(tabs, row.Width() - 3, 10);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_TRUE(sheet.DestroyWindow());
}
