// The old-style file dialog driven by scripts.

#include <gtest/gtest.h>

#include <fstream>

#include "TestSupport.h"
#include "data/mfc-test-ids.h"
#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"

namespace {

class FileDialogTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        std::filesystem::create_directory(m_folder.path() / "sub");
        for (const char* name : {"a.txt", "b.wpl", "B2.WPL", "sub/c.txt"})
            std::ofstream(m_folder.file(name)) << "x";
    }
    std::vector<std::string> items(HWND dialog, int id) {
        std::vector<std::string> result;
        const int count = int(::SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            ::SendDlgItemMessageA(dialog, id, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
            result.push_back(text);
        }
        return result;
    }
    TempFolder m_folder;
};

void doubleClickFolder(HWND dialog, const std::string& name) {
    sdtest::Select(dialog, lst2, name);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(lst2, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, lst2)));
}

} // namespace

TEST_F(FileDialogTest, OpenThroughFoldersAndFileTypes) {
    CFileDialog dialog(TRUE, "txt", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       "Palettes (*.wpl)|*.wpl|All files (*.*)|*.*||");
    const std::string folder = m_folder.path().string();
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    SetDialogScriptForClass("CFileDialog", [&](HWND hwnd) {
        EXPECT_EQ(items(hwnd, lst1), (std::vector<std::string>{"b.wpl", "B2.WPL"}));
        EXPECT_EQ(sdtest::TextOf(hwnd, stc1), folder);
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, chx1)));
        sdtest::Select(hwnd, cmb1, "All files (*.*)");
        EXPECT_EQ(items(hwnd, lst1), (std::vector<std::string>{"a.txt", "b.wpl", "B2.WPL"}));
        doubleClickFolder(hwnd, "sub");
        EXPECT_EQ(items(hwnd, lst1), (std::vector<std::string>{"c.txt"}));

        // A missing file: told, and the dialog stays.
        PushMessageBoxAnswer(IDOK);
        sdtest::Type(hwnd, edt1, "missing");
        sdtest::Click(hwnd, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hwnd));

        sdtest::Type(hwnd, edt1, "c"); // the default extension is added
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const std::string expected = (m_folder.path() / "sub" / "c.txt").string();
    EXPECT_EQ(std::string(dialog.GetPathName()), expected);
    EXPECT_EQ(dialog.GetFileName(), CString("c.txt"));
    EXPECT_EQ(dialog.GetFileExt(), CString("txt"));
    EXPECT_EQ(dialog.GetFileTitle(), CString("c"));
    EXPECT_EQ(dialog.m_ofn.nFilterIndex, 2u);
    EXPECT_EQ(dialog.m_ofn.nFileOffset, expected.size() - 5);
    EXPECT_NE(MessageBoxLog()[0].text.find("File not found."), std::string::npos);
}

TEST_F(FileDialogTest, SaveAsksBeforeReplacing) {
    const std::string start = m_folder.file("a.txt");
    CFileDialog dialog(FALSE, nullptr, start.c_str());
    SetDialogScriptForClass("CFileDialog", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, edt1), "a.txt");
        PushMessageBoxAnswer(IDNO);
        sdtest::Click(hwnd, IDOK);
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        PushMessageBoxAnswer(IDYES);
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(std::string(dialog.GetPathName()), start);
    EXPECT_EQ(MessageBoxLog().size(), 2u);

    // Enter on the folder list opens the folder there; "[..]" style navigation upwards.
    CFileDialog up(TRUE);
    const std::string sub = (m_folder.path() / "sub").string();
    up.m_ofn.lpstrInitialDir = sub.c_str();
    SetDialogScriptForClass("CFileDialog", [&](HWND hwnd) {
        sdtest::Select(hwnd, lst2, m_folder.path().filename().string());
        sdtest::FocusControl(hwnd, lst2);
        sdtest::PressKey(hwnd, VK_RETURN);
        EXPECT_EQ(sdtest::TextOf(hwnd, stc1), m_folder.path().string());
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(up.DoModal(), IDCANCEL);
}

namespace {

// A folder chooser as the shell builds one: the file controls hidden, a fixed file name.
class FolderChooser : public CFileDialog {
    DECLARE_DYNAMIC(FolderChooser)
public:
    FolderChooser()
        : CFileDialog(FALSE, nullptr, nullptr,
                      OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_SHOWHELP) {}

protected:
    BOOL OnInitDialog() override {
        CenterWindow();
        for (int id : {stc2, stc3, lst1, cmb1, edt1}) GetDlgItem(id)->ShowWindow(SW_HIDE);
        SetDlgItemText(edt1, "Junk");
        GetDlgItem(lst2)->SetFocus();
        CFileDialog::OnInitDialog();
        return FALSE;
    }
};

IMPLEMENT_DYNAMIC(FolderChooser, CFileDialog)

} // namespace

TEST_F(FileDialogTest, DerivedDialogKeepsItsOwnInitialisation) {
    FolderChooser chooser;
    const std::string folder = m_folder.path().string();
    chooser.m_ofn.lpstrInitialDir = folder.c_str();
    SetDialogScriptForClass("FolderChooser", [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, edt1), "Junk");
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hwnd, lst1)));
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), lst2);
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(hwnd, pshHelp)));
        doubleClickFolder(hwnd, "sub");
        sdtest::Click(hwnd, IDOK);
    });
    ASSERT_EQ(chooser.DoModal(), IDOK);
    EXPECT_EQ(std::string(chooser.GetPathName()), (m_folder.path() / "sub" / "Junk").string());
}

namespace {

// A file dialog with a child template: it hears the child's controls and the selection.
class ChildTemplateDialog : public CFileDialog {
public:
    ChildTemplateDialog()
        : CFileDialog(TRUE, nullptr, nullptr,
                      OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLETEMPLATE) {
        m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FILE_CHILD);
    }
    std::vector<std::string> log;

protected:
    void OnFileNameChange() override {
        log.push_back("change " + std::string(GetCurrentFilePath()));
    }
    void OnExtra() { log.push_back("extra"); }
    void OnDrawItem(int id, LPDRAWITEMSTRUCT dis) {
        if (id == IDC_CHILD_AREA) {
            log.push_back("draw");
            ::FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ChildTemplateDialog, CFileDialog)
ON_COMMAND(IDC_CHILD_CHECK, OnExtra)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

class FileDialogChildTest : public FileDialogTest {
protected:
    void SetUp() override {
        FileDialogTest::SetUp();
        m_module = ::LoadLibraryA(MFC_TEST_RES);
        ASSERT_NE(m_module, nullptr);
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(m_module);
    }
    void TearDown() override {
        AfxSetResourceHandle(m_previous);
        if (m_module != nullptr) ::FreeLibrary(m_module);
        FileDialogTest::TearDown();
    }
    HMODULE m_module = nullptr;
    HINSTANCE m_previous = nullptr;
};

} // namespace

TEST_F(FileDialogChildTest, ChildTemplateSitsBelowTheStandardControlsAndReportsToTheDialog) {
    ChildTemplateDialog dialog;
    const std::string folder = m_folder.path().string();
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    SetDialogScriptForClass("CFileDialog", [&](HWND hwnd) {
        // The framework's own controls are there; the child lies below them, inside.
        ASSERT_NE(::GetDlgItem(hwnd, lst1), nullptr);
        const HWND child = dialog.GetChildTemplateWindow();
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(::GetParent(child), hwnd);
        RECT list{}, area{}, client{};
        ::GetWindowRect(::GetDlgItem(hwnd, IDCANCEL), &list);
        ::GetWindowRect(child, &area);
        EXPECT_GE(area.top, list.bottom);
        ::GetClientRect(hwnd, &client);
        POINT corner{area.right, area.bottom};
        ::ScreenToClient(hwnd, &corner);
        EXPECT_LE(corner.y, client.bottom);
        // Its controls speak to the dialog object.
        ASSERT_TRUE(sdtest::Click(child, IDC_CHILD_CHECK));
        ::InvalidateRect(::GetDlgItem(child, IDC_CHILD_AREA), nullptr, TRUE);
        ::UpdateWindow(::GetDlgItem(child, IDC_CHILD_AREA));
        // Selecting a file names it and tells the dialog.
        ASSERT_TRUE(sdtest::Select(hwnd, lst1, "b.wpl"));
        EXPECT_EQ(sdtest::TextOf(hwnd, edt1), "b.wpl");
        sdtest::Click(hwnd, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_NE(std::find(dialog.log.begin(), dialog.log.end(), "extra"), dialog.log.end());
    EXPECT_NE(std::find(dialog.log.begin(), dialog.log.end(), "draw"), dialog.log.end());
    const std::string change = "change " + (m_folder.path() / "b.wpl").string();
    EXPECT_NE(std::find(dialog.log.begin(), dialog.log.end(), change), dialog.log.end());
}

TEST_F(FileDialogChildTest, DocumentManagerOffersTheTemplatesFilters) {
    CDocManager manager;
    auto* plan = new CSingleDocTemplate(IDS_PLAN_DOC, nullptr, nullptr, nullptr);
    manager.AddDocTemplate(plan);
    manager.AddDocTemplate(new CSingleDocTemplate(IDR_DOCFRAME, nullptr, nullptr, nullptr));
    std::vector<std::string> types;
    std::string title;
    SetDialogScriptForClass("CFileDialog", [&](HWND hwnd) {
        types.clear();
        const int count = int(::SendDlgItemMessageA(hwnd, cmb1, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[128] = {};
            ::SendDlgItemMessageA(hwnd, cmb1, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
            types.push_back(text);
        }
        char caption[64] = {};
        ::GetWindowTextA(hwnd, caption, sizeof caption);
        title = caption;
        sdtest::Type(hwnd, edt1, "first");
        sdtest::Click(hwnd, IDOK);
    });
    // The proposed name's folder is where the dialog starts.
    CString name = (m_folder.path() / "draft").string().c_str();
    ASSERT_TRUE(manager.DoPromptFileName(name, IDS_PLAN_TITLE, 0, FALSE, nullptr));
    // A template without a filter adds no entry; the default extension is the first's.
    EXPECT_EQ(types, (std::vector<std::string>{"Plan files (*.pln)", "All files (*.*)"}));
    EXPECT_EQ(title, "Keep the Plan");
    EXPECT_EQ(std::string(name), (m_folder.path() / "first.pln").string());

    SetDialogScriptForClass("CFileDialog", [&](HWND hwnd) { sdtest::Click(hwnd, IDCANCEL); });
    name = "kept";
    EXPECT_FALSE(manager.DoPromptFileName(name, 0, 0, TRUE, plan));
    EXPECT_EQ(name, CString("kept"));
}
