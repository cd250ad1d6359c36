#include <doc/CPreviewFileDlg.h>
#include <mfc/FrameworkIds.h>
#include <testing/DialogDriver.h>
#include <win32/commdlg.h>
#include <win32/controls.h>

#include "SignDocTestSupport.h"

namespace {

std::vector<std::string> ComboItems(HWND dialog, int id) {
    std::vector<std::string> result;
    const int count = int(::SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        ::SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
        result.push_back(text);
    }
    return result;
}

TEST(DocumentFileFilter, OpenOffersBothNativeForms) {
    EXPECT_STREQ(LPCSTR(DocumentFileFilter(nullptr, TRUE)),
                 "Sign design (*.wtp;*.wmp)|*.wtp;*.wmp|All files (*.*)|*.*||");
    EXPECT_STREQ(LPCSTR(DocumentFileFilter(nullptr, FALSE)),
                 "Sign design (*.wtp)|*.wtp|All files (*.*)|*.*||");
    EXPECT_STREQ(LPCSTR(ProposedDocumentName("d/plan.WMP")), "d/plan.wtp");
    EXPECT_STREQ(LPCSTR(ProposedDocumentName("plan.wtp")), "plan.wtp");
    EXPECT_STREQ(LPCSTR(ProposedDocumentName("wmp")), "wmp");
}

class SignDocDialogTest : public SignDocTest {};

TEST_F(SignDocDialogTest, SaveAsOfAWmpProposesTheArchiveForm) {
    const fs::path wmp = dir / "plan.wmp", wtp = dir / "plan.wtp";
    CSignDoc doc;
    BuildDesign(doc);
    doc.SetPathName(wmp.c_str());
    doc.SetModifiedFlag();
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, edt1), "plan.wtp");
        EXPECT_EQ(ComboItems(hwnd, cmb1),
                  (std::vector<std::string>{"Sign design (*.wtp)", "All files (*.*)"}));
        sdtest::Click(hwnd, IDOK);
    });
    doc.OnFileSaveAs();
    EXPECT_TRUE(fs::exists(wtp));
    EXPECT_FALSE(fs::exists(wmp));
    EXPECT_EQ(std::string(LPCSTR(doc.GetPathName())), wtp.string());
    EXPECT_FALSE(doc.IsModified());
    // Cancelled: nothing written.
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) { sdtest::Click(hwnd, IDCANCEL); });
    doc.SetModifiedFlag();
    doc.OnFileSaveAs();
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(SignDocDialogTest, OpenDialogListsOneNativeEntry) {
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        EXPECT_EQ(ComboItems(hwnd, cmb1),
                  (std::vector<std::string>{"Sign design (*.wtp;*.wmp)", "All files (*.*)"}));
        sdtest::Click(hwnd, IDCANCEL);
    });
    CString name;
    EXPECT_FALSE(PromptDocumentFileName(name, TRUE));
}

} // namespace
