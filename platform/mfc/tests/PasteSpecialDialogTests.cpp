// The paste-special dialog driven by scripts over the clipboard.

#include <gtest/gtest.h>

#include <cstring>

#include "TestSupport.h"
#include "data/mfc-test-ids.h"
#include "mfc/COlePasteSpecialDialog.h"
#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"
#include "win32/kernel.h"

namespace {

class PasteSpecialTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        m_module = ::LoadLibraryA(MFC_TEST_RES);
        ASSERT_NE(m_module, nullptr);
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_module);
        own = ::RegisterClipboardFormatA("Test objects");
        other = ::RegisterClipboardFormatA("Test other");
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        for (UINT format : {own, UINT(CF_DIB)}) {
            HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, 4);
            ::SetClipboardData(format, mem);
        }
        ::CloseClipboard();
    }
    void TearDown() override {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
        AfxSetResourceHandle(m_previous);
        if (m_module != nullptr) ::FreeLibrary(m_module);
        PlatformTest::TearDown();
    }
    std::vector<std::string> Listed(HWND dialog) {
        std::vector<std::string> out;
        const int n = int(::SendDlgItemMessageA(dialog, SD_PS_LIST, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            char text[128] = {};
            ::SendDlgItemMessageA(dialog, SD_PS_LIST, LB_GETTEXT, WPARAM(i), LPARAM(text));
            out.push_back(text);
        }
        return out;
    }
    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
    UINT own = 0, other = 0;
};

} // namespace

TEST_F(PasteSpecialTest, ListsWhatTheClipboardHoldsInTheOrderAdded) {
    COlePasteSpecialDialog dialog;
    dialog.AddFormat(other, TYMED_HGLOBAL, 0, FALSE, FALSE);
    dialog.AddFormat(own, TYMED_HGLOBAL, IDS_PASTE_OWN, FALSE, FALSE);
    dialog.AddStandardFormats();
    dialog.AddFormat(CF_ENHMETAFILE, TYMED_ENHMF, 0, FALSE, FALSE);
    std::vector<std::string> listed;
    std::string result;
    SetDialogScriptForClass("COlePasteSpecialDialog", [&](HWND hwnd) {
        listed = Listed(hwnd);
        result = sdtest::TextOf(hwnd, SD_PS_RESULT);
        ASSERT_TRUE(sdtest::Select(hwnd, SD_PS_LIST, "Device Independent Bitmap"));
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(listed, (std::vector<std::string>{"Objects", "Device Independent Bitmap"}));
    EXPECT_EQ(result, "Inserts them as objects.");
    EXPECT_EQ(dialog.GetSelectedFormat(), CF_DIB);
}

TEST_F(PasteSpecialTest, CancelChoosesNothing) {
    COlePasteSpecialDialog dialog;
    dialog.AddFormat(own, TYMED_HGLOBAL, 0, FALSE, FALSE);
    SetDialogScriptForClass("COlePasteSpecialDialog", [&](HWND hwnd) {
        EXPECT_EQ(Listed(hwnd), (std::vector<std::string>{"Test objects"}));
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetSelectedFormat(), 0);
}
