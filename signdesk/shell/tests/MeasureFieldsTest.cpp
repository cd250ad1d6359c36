// Numbers and lengths in edit fields and in the data exchange of dialogs.

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include <mfc/afx.h>
#include <win32/module.h>

#include "data/shellui-test-ids.h"
#include "settings/CUnit.h"
#include "shell/MeasureFields.h"
#include "testing/DialogDriver.h"
#include "testing/PlatformTest.h"

namespace {

class OffsetDialog : public CDialog {
    DECLARE_DYNAMIC(OffsetDialog)
public:
    OffsetDialog() : CDialog(IDD_MEASURE) {}
    float m_length = 25.4f; // mm
    float m_scale = 1.5f;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Measure(pDX, IDC_LENGTH, m_length);
        DDV_Measure(pDX, m_length, 1.0f, 1000.0f);
        DDX_Float(pDX, IDC_SCALE, m_scale);
        DDV_Float(pDX, m_scale, 0.5f, 4.0f);
    }
};

IMPLEMENT_DYNAMIC(OffsetDialog, CDialog)

class MeasureFieldsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        module = ::LoadLibraryA(SHELLUI_TEST_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        ASSERT_EQ(GetUnitTableCount(), 0);
        AppUnit.unit = CUnit::CM;
    }
    void TearDown() override {
        AppUnit.unit = CUnit::MM;
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        PlatformTest::TearDown();
    }
    static std::string Prompt(UINT id) {
        CString text;
        text.LoadString(id);
        return std::string(text);
    }
    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
};

TEST(ParseFloatText, TheNumberRule) {
    struct Case {
        const char* text;
        bool accepted;
        float value;
    };
    const Case cases[] = {
        {"0", true, 0.0f},
        {"0.0", true, 0.0f},
        {".5", true, 0.5f},
        {" \t2.5\t ", true, 2.5f},
        {"-3e2", true, -300.0f},
        {"1.", true, 1.0f},
        {"+7", true, 7.0f},
        {"00.25", true, 0.25f},
        // A zero not written with a leading '0' is taken for no number.
        {".0", false, 0},
        {"-0", false, 0},
        {"+0.0", false, 0},
        {"1x", false, 0},
        {"", false, 0},
        {" \t ", false, 0},
        {"2.5 3", false, 0},
        {"1,5", false, 0},
        {"e5", false, 0},
        // What strtod takes besides decimal numbers, and what no float holds.
        {"0x10", false, 0},
        {"inf", false, 0},
        {"nan", false, 0},
        {"1e39", false, 0},
        {"-1e39", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        float value = 42.0f;
        EXPECT_EQ(ParseFloatText(c.text, value), c.accepted);
        EXPECT_EQ(value, c.accepted ? c.value : 42.0f);
    }
    float value = 1.0f;
    EXPECT_FALSE(ParseFloatText(nullptr, value));
}

TEST(ParseFloatText, PointWhateverTheLocale) {
    std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    float value = 0.0f;
    EXPECT_TRUE(ParseFloatText("2.5", value));
    EXPECT_EQ(value, 2.5f);
    EXPECT_FALSE(ParseFloatText("2,5", value));
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_LOG_(INFO) << "no comma locale installed; checked under the C locale only";
}

// The dialog shows the length in cm and reads it back as mm; the scale is a plain number.
TEST_F(MeasureFieldsTest, LengthsTravelInTheCurrentUnit) {
    OffsetDialog dialog;
    SetDialogScript(IDD_MEASURE, [&](HWND hwnd) {
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_LENGTH), "2.54");
        EXPECT_EQ(sdtest::TextOf(hwnd, IDC_SCALE), "1.5");
        sdtest::Type(hwnd, IDC_LENGTH, " 12.5 ");
        sdtest::Type(hwnd, IDC_SCALE, "0.75");
        sdtest::Click(hwnd, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FLOAT_EQ(dialog.m_length, 125.0f);
    EXPECT_EQ(dialog.m_scale, 0.75f);
}

// A refused text or a value out of range: the prompt, the focus on the field, the dialog
// open, the member as it was.
TEST_F(MeasureFieldsTest, RefusalsNameTheLimitsInTheCurrentUnit) {
    struct Case {
        int control;
        const char* text;
        std::string prompt;
    };
    const Case cases[] = {
        {IDC_LENGTH, "1x", Prompt(AFX_IDP_PARSE_REAL)},
        {IDC_LENGTH, ".0", Prompt(AFX_IDP_PARSE_REAL)},
        {IDC_LENGTH, "0.05", "Please enter a number from 0.1 to 100."},
        {IDC_LENGTH, "100.1", "Please enter a number from 0.1 to 100."},
        {IDC_SCALE, "1x", Prompt(AFX_IDP_PARSE_REAL)},
        {IDC_SCALE, "4.5", "Please enter a number from 0.5 to 4."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " into " + std::to_string(c.control));
        SdClearDialogScripts();
        SdClearMessageBoxes();
        OffsetDialog dialog;
        int focus = 0;
        bool open = false;
        SetDialogScript(IDD_MEASURE, [&](HWND hwnd) {
            ::SetDlgItemTextA(hwnd, c.control, c.text);
            PushMessageBoxAnswer(IDOK);
            sdtest::Click(hwnd, IDOK);
            focus = ::GetDlgCtrlID(::GetFocus());
            open = ::IsWindowVisible(hwnd) != FALSE;
            sdtest::Click(hwnd, IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_TRUE(open);
        EXPECT_EQ(focus, c.control);
        auto boxes = MessageBoxLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.prompt);
        if (c.prompt == Prompt(AFX_IDP_PARSE_REAL)) {
            EXPECT_EQ(dialog.m_length, 25.4f);
            EXPECT_EQ(dialog.m_scale, 1.5f);
        }
    }
}

TEST_F(MeasureFieldsTest, LimitsAreComparedInThousandths) {
    // 0.099999994 and 0.1 both round to 0.1; loading lets any value through.
    CDataExchange saving(nullptr, TRUE);
    float stored = 0.099999994f;
    EXPECT_NO_THROW(DDV_Measure(&saving, stored, 0.1f, 10.0f));
    float top = 10.0004f;
    EXPECT_NO_THROW(DDV_Measure(&saving, top, 0.1f, 10.0f));
    CDataExchange loading(nullptr, FALSE);
    float far = 5000.0f;
    EXPECT_NO_THROW(DDV_Measure(&loading, far, 0.1f, 10.0f));
    EXPECT_NO_THROW(DDV_Float(&loading, far, 0.0f, 1.0f));
    EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(MeasureFieldsTest, WindowNumbers) {
    CWnd parent;
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr));
    CEdit field;
    ASSERT_TRUE(field.Create(WS_CHILD | WS_VISIBLE | WS_DISABLED, CRect(0, 0, 80, 20), &parent, 7));

    EXPECT_TRUE(SetWindowFloat(&field, 2.5f));
    EXPECT_EQ(sdtest::TextOf(parent.m_hWnd, 7), "2.5");
    EXPECT_FALSE(field.IsWindowEnabled()) << "the enabled state is kept";

    // Text without a number no longer reads as 0.
    struct Case {
        const char* text;
        BOOL ok;
        float value;
    };
    const Case cases[] = {{"abc", FALSE, -1.0f},
                          {"", FALSE, -1.0f},
                          {"3x", FALSE, -1.0f},
                          {" 3.25 ", TRUE, 3.25f},
                          {"0", TRUE, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        field.SetWindowText(c.text);
        float value = -1.0f;
        EXPECT_EQ(GetWindowFloat(&field, value), c.ok);
        EXPECT_EQ(value, c.value);
        EXPECT_FALSE(field.IsWindowEnabled());
    }

    // Lengths in the current unit (cm), to thousandths of a millimetre.
    EXPECT_TRUE(SetWindowMeasure(&field, 12.34567f));
    EXPECT_EQ(sdtest::TextOf(parent.m_hWnd, 7), "1.2346");
    field.SetWindowText("2");
    float mm = 0.0f;
    EXPECT_TRUE(GetWindowMeasure(&field, mm));
    EXPECT_FLOAT_EQ(mm, 20.0f);
    AppUnit.unit = CUnit::INCH;
    EXPECT_TRUE(GetWindowMeasure(&field, mm));
    EXPECT_FLOAT_EQ(mm, 50.8f);
    field.SetWindowText("two");
    EXPECT_FALSE(GetWindowMeasure(&field, mm));
    EXPECT_FLOAT_EQ(mm, 50.8f);

    float untouched = 1.0f;
    EXPECT_FALSE(GetWindowFloat(nullptr, untouched));
    EXPECT_FALSE(SetWindowFloat(nullptr, 1.0f));
}

} // namespace
