#include <doc/CPreviewFileDlg.h>
#include <doc/CWMPDocMan.h>
#include <doc/DocResourceIds.h>
#include <mfc/FrameworkIds.h>
#include <testing/DialogDriver.h>
#include <win32/GdiTesting.h>
#include <win32/commdlg.h>
#include <win32/controls.h>
#include <win32/module.h>

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

// The dialogs on the program's templates, with their preview pane.
class PreviewDialogTest : public SignDocTest {
protected:
    void SetUp() override {
        SignDocTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        SignDocSettings::ShowFilePreview = TRUE;
    }
    void TearDown() override {
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        SignDocTest::TearDown();
    }
    // The pane's child dialog inside the file dialog.
    static HWND Pane(HWND dialog) {
        for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            if (::GetDlgItem(c, IDC_PREVIEW_AREA)) return c;
        return nullptr;
    }
    // What the preview area shows, inside its border.
    static SdGdiImage Shown(HWND pane) {
        HWND area = ::GetDlgItem(pane, IDC_PREVIEW_AREA);
        ::InvalidateRect(area, nullptr, TRUE);
        ::UpdateWindow(area);
        return SdGdiReadWindow(area);
    }
    // Dark pixels on the two diagonals and nowhere else: the cross of no preview.
    static bool IsCross(const SdGdiImage& image) {
        auto dark = [&](int x, int y) { return GetRValue(image.at(x, y)) < 64; };
        const int w = image.width, h = image.height;
        const int x = w / 4, y = int(std::lround((h - 1) * 0.25));
        return dark(w / 2, (h - 1) / 2) && dark(x, y) && !dark(w / 2, 2) && !dark(2, h / 2);
    }
    static int DistinctColours(const SdGdiImage& image) {
        std::vector<COLORREF> seen;
        for (int y = 2; y < image.height - 2; ++y)
            for (int x = 2; x < image.width - 2; ++x)
                if (std::find(seen.begin(), seen.end(), image.at(x, y)) == seen.end())
                    seen.push_back(image.at(x, y));
        return int(seen.size());
    }
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
};

TEST_F(PreviewDialogTest, PreviewSwitchedOffStaysOffForTheNextDialog) {
    bool checked = false, cross = true;
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        const HWND pane = Pane(hwnd);
        ASSERT_NE(pane, nullptr);
        checked = ::IsDlgButtonChecked(pane, IDC_PREVIEW_CHECK) == BST_CHECKED;
        cross = IsCross(Shown(pane));
        ASSERT_TRUE(sdtest::Click(pane, IDC_PREVIEW_CHECK));
        sdtest::Click(hwnd, IDCANCEL);
    });
    CString name;
    EXPECT_FALSE(PromptDocumentFileName(name, TRUE));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(cross);
    EXPECT_FALSE(SignDocSettings::ShowFilePreview);
    // The next dialog opens with the box cleared and the cross shown.
    EXPECT_FALSE(PromptDocumentFileName(name, FALSE));
    EXPECT_FALSE(checked);
    EXPECT_TRUE(cross);
    EXPECT_TRUE(SignDocSettings::ShowFilePreview);
}

TEST_F(PreviewDialogTest, SelectingADesignShowsItsStoredPreview) {
    {
        CSignDoc doc;
        BuildDesign(doc);
        doc.m_sheet.CountLayerObjects();
        ASSERT_TRUE(doc.OnSaveDocument((dir / "with.wtp").c_str()));
        SignDocSettings::ShowFilePreview = FALSE;
        ASSERT_TRUE(doc.OnSaveDocument((dir / "without.wtp").c_str()));
        SignDocSettings::ShowFilePreview = TRUE;
    }
    WriteAll(dir / "notes.txt", Bytes{'x'});
    std::vector<int> colours;
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        const HWND pane = Pane(hwnd);
        ASSERT_NE(pane, nullptr);
        sdtest::Select(hwnd, cmb1, "All files (*.*)");
        for (const char* name : {"with.wtp", "without.wtp", "with.wtp", "notes.txt"}) {
            ASSERT_TRUE(sdtest::Select(hwnd, lst1, name));
            EXPECT_EQ(sdtest::TextOf(hwnd, edt1), name);
            colours.push_back(DistinctColours(Shown(pane)));
        }
        sdtest::Click(hwnd, IDCANCEL);
    });
    CString name = (dir / "x.wtp").c_str();
    EXPECT_FALSE(PromptDocumentFileName(name, TRUE));
    ASSERT_EQ(colours.size(), 4u);
    // The design's picture; an empty pane without a stored preview and for other files.
    EXPECT_GT(colours[0], 2);
    EXPECT_EQ(colours[1], 1);
    EXPECT_EQ(colours[2], colours[0]);
    EXPECT_EQ(colours[3], 1);
}

TEST_F(PreviewDialogTest, AWmpWithoutContentsIsToldAndTheDialogStays) {
    if (std::system("command -v gsf >/dev/null 2>&1") != 0) GTEST_SKIP() << "no gsf";
    const fs::path streams = dir / "streams";
    fs::create_directories(streams);
    WriteAll(streams / "Other", Bytes(100, 7));
    ASSERT_EQ(std::system(("cd '" + streams.string() + "' && gsf createole '" +
                           (dir / "other.wmp").string() + "' Other >/dev/null")
                              .c_str()),
              0);
    PushMessageBoxAnswer(IDOK);
    bool stayed = false;
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        ASSERT_TRUE(sdtest::Select(hwnd, lst1, "other.wmp"));
        stayed = ::IsWindowVisible(hwnd);
        sdtest::Click(hwnd, IDCANCEL);
    });
    CString name = (dir / "x.wtp").c_str();
    EXPECT_FALSE(PromptDocumentFileName(name, TRUE));
    EXPECT_TRUE(stayed);
    ASSERT_EQ(MessageBoxLog().size(), 1u);
    EXPECT_NE(MessageBoxLog()[0].text.find("other.wmp"), std::string::npos);
}

} // namespace

namespace {

TEST_F(SignDocDialogTest, ClosingAModifiedDesignAsksFirst) {
    const fs::path wtp = dir / "plan.wtp";
    CSignDoc doc;
    BuildDesign(doc);
    ASSERT_TRUE(doc.OnSaveDocument(wtp.c_str()));
    doc.SetPathName(wtp.c_str());
    const Bytes saved = ReadAll(wtp);
    // Unchanged: no question.
    doc.SetModifiedFlag(FALSE);
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(MessageBoxLog().empty());

    doc.m_sheet.Add(Square(300, 10, 5, RGB(1, 1, 1)));
    const struct {
        int answer;
        BOOL result;
        bool written;
    } cases[] = {{IDCANCEL, FALSE, false}, {IDNO, TRUE, false}, {IDYES, TRUE, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        WriteAll(wtp, saved);
        doc.SetModifiedFlag();
        PushMessageBoxAnswer(c.answer);
        EXPECT_EQ(doc.SaveModified(), c.result);
        EXPECT_EQ(ReadAll(wtp) != saved, c.written);
        EXPECT_EQ(doc.IsModified(), !c.written);
        EXPECT_EQ(doc.m_sheet.GetSize(), 4);
    }
    const auto log = MessageBoxLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[0].text.find("Save changes to plan.wtp?"), std::string::npos);
}

TEST_F(SignDocDialogTest, SavingAWmpOnCloseGoesThroughSaveAs) {
    const fs::path wmp = dir / "plan.wmp";
    WriteAll(wmp, Bytes{1, 2, 3});
    CSignDoc doc;
    BuildDesign(doc);
    doc.SetPathName(wmp.c_str());
    doc.SetModifiedFlag();
    // Yes, then the dialog cancelled: nothing written, the design kept as it was.
    PushMessageBoxAnswer(IDYES);
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) { sdtest::Click(hwnd, IDCANCEL); });
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadAll(wmp), (Bytes{1, 2, 3}));
    EXPECT_FALSE(fs::exists(dir / "plan.wtp"));
    // Yes and OK on the proposed name: the archive form beside it.
    PushMessageBoxAnswer(IDYES);
    SetDialogScriptForClass("CPreviewFileDlg", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, edt1), "plan.wtp");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(fs::exists(dir / "plan.wtp"));
    EXPECT_EQ(ReadAll(wmp), (Bytes{1, 2, 3}));
    EXPECT_EQ(std::string(LPCSTR(doc.GetPathName())), (dir / "plan.wtp").string());
}

TEST_F(SignDocDialogTest, AFailedSaveOnCloseKeepsTheDesignOpen) {
    const fs::path path = dir / "gone" / "plan.wtp";
    CSignDoc doc;
    BuildDesign(doc);
    doc.SetPathName(path.c_str());
    doc.SetModifiedFlag();
    PushMessageBoxAnswer(IDYES);
    PushMessageBoxAnswer(IDOK); // the failure, told once
    EXPECT_FALSE(doc.SaveModified());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(MessageBoxLog().size(), 2u);
}

} // namespace
