// Dialogs of the framework run by scripts: data exchange and validation, modal and modeless.

#include <gtest/gtest.h>

#include <string>

#include "DialogTemplateBuilder.h"
#include "data/mfc-test-ids.h"
#include "mfc/afx.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"
#include "win32/module.h"

namespace {

class JobDialog : public CDialog {
    DECLARE_DYNAMIC(JobDialog)
public:
    JobDialog() : CDialog(IDD_JOB) {}

    int m_count = 3;
    float m_width = 2.5f;
    CString m_name = "Sign";
    int m_kind = 1;
    int m_mirror = 0;
    int m_align = 0;
    int m_copies = 5;
    int m_position = 0;
    double m_size = 0.25;
    CSliderCtrl m_slider;

protected:
    BOOL OnInitDialog() override {
        auto* kinds = static_cast<CComboBox*>(GetDlgItem(IDC_KIND));
        for (LPCSTR kind : {"Vinyl", "Paper", "Film"}) kinds->AddString(kind);
        static_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_SPIN))->SetRange(1, 99);
        const BOOL result = CDialog::OnInitDialog();
        m_slider.SetRange(0, 100);
        m_slider.SetPos(40);
        return result;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 50);
        DDX_Text(pDX, IDC_WIDTH, m_width);
        DDV_MinMaxFloat(pDX, m_width, 0.1f, 100.0f);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 8);
        DDX_CBIndex(pDX, IDC_KIND, m_kind);
        DDX_Check(pDX, IDC_MIRROR, m_mirror);
        DDX_Radio(pDX, IDC_LEFT, m_align);
        DDX_Text(pDX, IDC_COPIES, m_copies);
        DDX_Control(pDX, IDC_SLIDER, m_slider);
        DDX_Text(pDX, IDC_SIZE, m_size);
        if (pDX->m_bSaveAndValidate) m_position = m_slider.GetPos();
    }
};

IMPLEMENT_DYNAMIC(JobDialog, CDialog)

// The dialogs come from the tests' resource module.
class DialogTest : public PlatformTest {
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

std::string prompt(UINT id) {
    CString text;
    text.LoadString(id);
    return std::string(text);
}

} // namespace

TEST_F(DialogTest, ScriptedDialogHandsTheValuesToTheMembers) {
    JobDialog dialog;
    SetDialogScript(IDD_JOB, [&](HWND hwnd) {
        // The members reached the controls.
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_COUNT), "3");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_WIDTH), "2.5");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_NAME), "Sign");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_KIND), "Paper");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_COPIES), "5");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SIZE), "0.25");
        EXPECT_EQ(::SendDlgItemMessageA(hwnd, IDC_LEFT, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &dialog);

        sdtest::Type(hwnd, IDC_COUNT, "12");
        sdtest::Type(hwnd, IDC_WIDTH, " 0.75\t");
        sdtest::Type(hwnd, IDC_NAME, "Shopfront");
        sdtest::Type(hwnd, IDC_NAME, "Shop");
        sdtest::Select(hwnd, IDC_KIND, "Film");
        sdtest::Click(hwnd, IDC_MIRROR);
        sdtest::Click(hwnd, IDC_RIGHT);
        RECT spin{};
        ::GetClientRect(::GetDlgItem(hwnd, IDC_SPIN), &spin);
        sdtest::ClickAt(hwnd, IDC_SPIN, 2, 1); // up arrow: 5 -> 6
        sdtest::FocusControl(hwnd, IDC_SLIDER);
        sdtest::PressKey(hwnd, VK_RIGHT);
        sdtest::Type(hwnd, IDC_SIZE, "1e-3");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_count, 12);
    EXPECT_FLOAT_EQ(dialog.m_width, 0.75f);
    EXPECT_EQ(dialog.m_name, CString("Shop"));
    EXPECT_EQ(dialog.m_kind, 2);
    EXPECT_EQ(dialog.m_mirror, 1);
    EXPECT_EQ(dialog.m_align, 2);
    EXPECT_EQ(dialog.m_copies, 6);
    EXPECT_EQ(dialog.m_position, 41);
    EXPECT_DOUBLE_EQ(dialog.m_size, 0.001);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    const auto log = DialogLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0].scripted);
    EXPECT_EQ(log[0].result, IDOK);
    EXPECT_EQ(log[0].templateId, IDD_JOB);
}

// A refused text: the prompt, the focus on the control, the dialog still open; the member
// keeps its value.
TEST_F(DialogTest, RefusedTextKeepsTheDialogOpen) {
    struct Case {
        WORD control;
        const char* text;
        UINT prompt;
        std::string promptText; // with the bounds, for range failures
    };
    const Case cases[] = {
        {IDC_COUNT, "1x", AFX_IDP_PARSE_INT, ""},
        {IDC_COUNT, "", AFX_IDP_PARSE_INT, ""},
        {IDC_COUNT, "99999999999", AFX_IDP_PARSE_INT, ""},
        {IDC_COUNT, "51", AFX_IDP_PARSE_INT_RANGE, "Please enter a whole number from 1 to 50."},
        {IDC_WIDTH, "1x", AFX_IDP_PARSE_REAL, ""},
        {IDC_WIDTH, "inf", AFX_IDP_PARSE_REAL, ""},
        {IDC_WIDTH, "0.05", AFX_IDP_PARSE_REAL_RANGE, "Please enter a number from 0.1 to 100."},
        {IDC_NAME, "Shopfronts", AFX_IDP_PARSE_STRING_SIZE,
         "Please enter no more than 8 characters."},
        {IDC_SIZE, "2,5", AFX_IDP_PARSE_REAL, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " into " + std::to_string(c.control));
        SdClearDialogScripts();
        SdClearMessageBoxes();
        JobDialog dialog;
        int focusAfter = 0;
        bool stillOpen = false;
        SetDialogScriptForClass("JobDialog", [&](HWND hwnd) {
            ::SetDlgItemTextA(hwnd, c.control, c.text);
            PushMessageBoxAnswer(IDOK);
            sdtest::Click(hwnd, IDOK);
            focusAfter = ::GetDlgCtrlID(::GetFocus());
            stillOpen = ::IsWindowVisible(hwnd) != FALSE;
            sdtest::Click(hwnd, IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(focusAfter, c.control);
        const auto boxes = MessageBoxLog();
        ASSERT_EQ(boxes.size(), 1u);
        const std::string expected = c.promptText.empty() ? prompt(c.prompt) : c.promptText;
        EXPECT_EQ(boxes[0].text, expected);
        // A text that is no number leaves the member alone; a range check comes after the
        // exchange, as the framework has always done it.
        if (c.promptText.empty()) {
            EXPECT_EQ(dialog.m_count, 3);
            EXPECT_FLOAT_EQ(dialog.m_width, 2.5f);
            EXPECT_DOUBLE_EQ(dialog.m_size, 0.25);
        }
    }
}

TEST_F(DialogTest, UnscriptedModalDialogIsCancelled) {
    AllowUnscriptedDialogs();
    JobDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_count, 3);
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1) << "no such template";
}

TEST_F(DialogTest, ModelessDialogAndUpdateData) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, 0, 0, 400, 400, nullptr,
                               nullptr));
    JobDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_JOB, &owner));
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_hWnd), &dialog);
    EXPECT_EQ(dialog.GetDlgItem(IDC_SLIDER), &dialog.m_slider);
    EXPECT_TRUE(owner.IsWindowEnabled()) << "a modeless dialog leaves its owner enabled";

    dialog.SetDlgItemText(IDC_COUNT, "7");
    EXPECT_TRUE(dialog.UpdateData());
    EXPECT_EQ(dialog.m_count, 7);
    dialog.m_copies = 42;
    EXPECT_TRUE(dialog.UpdateData(FALSE));
    CString copies;
    dialog.GetDlgItemText(IDC_COPIES, copies);
    EXPECT_EQ(copies, CString("42"));

    // Tab order through the dialog manager: the next control after the count field.
    dialog.GotoDlgCtrl(dialog.GetDlgItem(IDC_COUNT));
    dialog.NextDlgCtrl();
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_WIDTH);

    dialog.SetDlgItemText(IDC_COUNT, "x");
    PushMessageBoxAnswer(IDOK);
    EXPECT_FALSE(dialog.UpdateData());
    EXPECT_EQ(dialog.m_count, 7);
    EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), IDC_COUNT);

    EXPECT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(dialog.m_slider.m_hWnd, nullptr);
}

namespace {

// A field that takes Enter for itself before the dialog's keyboard interface sees it, as
// the shell's filtering fields do.
class EnterField : public CEdit {
public:
    int m_enters = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
            ++m_enters;
            return TRUE;
        }
        return FALSE;
    }
};

class SwatchButton : public CButton {
public:
    int m_draws = 0;
    UINT m_lastId = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override {
        ++m_draws;
        m_lastId = lpDrawItemStruct->CtlID;
    }
};

class FieldDialog : public CDialog {
    DECLARE_DYNAMIC(FieldDialog)
public:
    FieldDialog() {
        static const DialogTemplateBuilder t = [] {
            DialogTemplateBuilder b(WS_POPUP | WS_CAPTION, 120, 60, "Field");
            b.control("Edit", "", 1500, WS_TABSTOP | WS_BORDER, 5, 5, 50, 12)
                .control("Button", "", 1098, BS_OWNERDRAW, 60, 5, 20, 12)
                .control("Button", "OK", IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 5, 40, 50, 14);
            return b;
        }();
        InitModalIndirect(t.get());
    }
    EnterField m_field;
    SwatchButton m_swatch;
    int m_value = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 1500, m_field);
        DDX_Control(pDX, 1098, m_swatch);
        DDX_Text(pDX, 1500, m_value);
    }
};

IMPLEMENT_DYNAMIC(FieldDialog, CDialog)

} // namespace

TEST_F(DialogTest, ControlsSeeTheirMessagesBeforeTheDialog) {
    FieldDialog dialog;
    SetDialogScriptForClass("FieldDialog", [&](HWND hwnd) {
        sdtest::Type(hwnd, 1500, "5\r");
        EXPECT_EQ(dialog.m_field.m_enters, 1);
        EXPECT_TRUE(::IsWindowVisible(hwnd)) << "Enter reached the default button";
        // The owner-drawn button draws itself through its own object.
        dialog.m_swatch.Invalidate();
        dialog.m_swatch.UpdateWindow();
        EXPECT_GE(dialog.m_swatch.m_draws, 1);
        EXPECT_EQ(dialog.m_swatch.m_lastId, 1098u);
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_value, 5);
}
