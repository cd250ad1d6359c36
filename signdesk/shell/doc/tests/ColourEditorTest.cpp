// The colour editor on the program's template, worked through its controls.

#include <doc/CColourEditor.h>
#include <doc/DocResourceIds.h>
#include <rasterkit/CWndDibDC.h>
#include <shell/PrivateMessages.h>
#include <testing/DialogDriver.h>
#include <win32/GdiTesting.h>
#include <win32/UserTesting.h>
#include <win32/controls.h>
#include <win32/module.h>

#include "SignDocTestSupport.h"

namespace {

// Stands in for the palette bar (the editor's parent) and the main frame.
class Recorder : public CWnd {
public:
    std::vector<std::string> log;
    BOOL Make(const char* name) {
        return CreateEx(0, nullptr, name, WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr);
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        log.push_back("command " + std::to_string(LOWORD(DWORD(wParam))));
        return CWnd::OnCommand(wParam, lParam);
    }
    LRESULT OnDragOver(WPARAM, LPARAM source) { return Note("over", source); }
    LRESULT OnDrop(WPARAM, LPARAM source) { return Note("drop", source); }
    DECLARE_MESSAGE_MAP()

public:
    HWND editor = nullptr;

private:
    LRESULT Note(const char* what, LPARAM source) {
        log.push_back(std::string(what) + (HWND(source) == editor ? " editor" : " ?"));
        return 0;
    }
};

BEGIN_MESSAGE_MAP(Recorder, CWnd)
ON_MESSAGE(WM_CTRLDRAGOVER, OnDragOver)
ON_MESSAGE(WM_CTRLDROP, OnDrop)
END_MESSAGE_MAP()

class ColourEditorTest : public SignDocTest {
protected:
    void SetUp() override {
        SignDocTest::SetUp();
        module = ::LoadLibraryA(SIGNDESK_RES);
        ASSERT_NE(module, nullptr);
        previous = AfxGetResourceHandle();
        AfxSetResourceHandle(module);
        ASSERT_TRUE(owner.Make("palette"));
    }
    void TearDown() override {
        if (editor.m_hWnd) editor.DestroyWindow();
        if (owner.m_hWnd) owner.DestroyWindow();
        AfxSetResourceHandle(previous);
        if (module) ::FreeLibrary(module);
        SignDocTest::TearDown();
    }
    void Open() {
        ASSERT_TRUE(editor.Create(&owner));
        editor.ShowWindow(SW_SHOW);
        owner.editor = editor.m_hWnd;
        PumpMessages();
    }
    std::string Text(int id) { return sdtest::TextOf(editor.m_hWnd, id); }
    int SliderPos(int id) {
        return int(::SendDlgItemMessageA(editor.m_hWnd, id, TBM_GETPOS, 0, 0));
    }
    COLORREF MapPixel(int x, int y) {
        int rgb[3] = {-1, -1, -1};
        editor.GetMapPicture()->m_DIB.GetPixel(x, y, rgb);
        return RGB(rgb[0], rgb[1], rgb[2]);
    }

    HMODULE module = nullptr;
    HINSTANCE previous = nullptr;
    Recorder owner;
    CColourEditor editor;
};

TEST_F(ColourEditorTest, ModelsConvertBothWays) {
    // Without a window: the components alone.
    editor.SetModel(1);
    editor.SetColor(RGB(255, 0, 0));
    EXPECT_EQ(editor.GetComponent(0), 0);
    EXPECT_EQ(editor.GetComponent(1), 255);
    EXPECT_EQ(editor.GetComponent(2), 255);
    EXPECT_EQ(editor.GetColor(), RGB(255, 0, 0));
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(12, 200, 99), RGB(255, 0, 0),
                                RGB(0, 0, 255)};
    for (int model : {0, 1}) {
        editor.SetModel(model);
        for (COLORREF c : colours) {
            editor.SetColor(c);
            EXPECT_EQ(editor.GetColor(), c) << "model " << model;
        }
    }
    // HLS: pure colours and greys come back exactly, others within rounding.
    editor.SetModel(2);
    for (COLORREF c : colours) {
        editor.SetColor(c);
        const COLORREF back = editor.GetColor();
        EXPECT_NEAR(GetRValue(back), GetRValue(c), 3);
        EXPECT_NEAR(GetGValue(back), GetGValue(c), 3);
        EXPECT_NEAR(GetBValue(back), GetBValue(c), 3);
    }
    editor.SetColor(RGB(128, 128, 128));
    EXPECT_EQ(editor.GetComponent(2), 0); // no saturation
    // A model out of range is not taken.
    editor.SetModel(7);
    EXPECT_EQ(editor.GetModel(), 2);
}

TEST_F(ColourEditorTest, ControlsShowTheModelAndTheColour) {
    editor.SetModel(1);
    editor.SetColor(RGB(255, 0, 0));
    Open();
    EXPECT_EQ(Text(IDC_CE_LABEL0) + Text(IDC_CE_LABEL1) + Text(IDC_CE_LABEL2), "C:M:Y:");
    EXPECT_EQ(Text(IDC_CE_COMPONENT0) + "," + Text(IDC_CE_COMPONENT1) + "," +
                  Text(IDC_CE_COMPONENT2),
              "0,255,255");
    EXPECT_EQ(SliderPos(IDC_CE_SLIDER1), 255);
    editor.SetModel(0);
    EXPECT_EQ(Text(IDC_CE_LABEL0) + Text(IDC_CE_LABEL1) + Text(IDC_CE_LABEL2), "R:G:B:");
    editor.SetColourAndShow(RGB(10, 20, 30));
    EXPECT_EQ(Text(IDC_CE_COMPONENT2), "30");
    EXPECT_EQ(SliderPos(IDC_CE_SLIDER0), 10);
    editor.SetModel(2);
    EXPECT_EQ(Text(IDC_CE_LABEL0) + Text(IDC_CE_LABEL1) + Text(IDC_CE_LABEL2), "H:L:S:");
}

TEST_F(ColourEditorTest, TheMapShowsTheFreeComponentsAndAClickTakesItsPixel) {
    editor.SetModel(0);
    editor.SetColor(RGB(200, 0, 0));
    Open();
    ASSERT_NE(editor.GetMapPicture(), nullptr);
    const int w = editor.GetMapPicture()->m_DIB.GetWidth();
    const int h = editor.GetMapPicture()->m_DIB.GetHeight();
    ASSERT_GT(w, 16);
    ASSERT_GT(h, 16);
    // Axis 0 holds red; blue runs along x, green down y.
    EXPECT_EQ(MapPixel(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(MapPixel(w - 1, 0), RGB(200, 0, std::min(255, (w - 1) * 256 / w)));
    EXPECT_EQ(MapPixel(0, h - 1), RGB(200, std::min(255, (h - 1) * 256 / h), 0));

    const int x = w / 2, y = h / 4;
    const COLORREF under = MapPixel(x, y);
    ASSERT_TRUE(sdtest::ClickAt(editor.m_hWnd, IDC_CE_MAP, x, y));
    EXPECT_EQ(editor.GetColor(), under);
    EXPECT_EQ(Text(IDC_CE_COMPONENT2), std::to_string(GetBValue(under)));
    EXPECT_EQ(SliderPos(IDC_CE_SLIDER1), GetGValue(under));

    // Outside the picture (the control is as large as its picture, so past its corner):
    // nothing changes.
    editor.SetColourAndShow(RGB(1, 2, 3));
    ::SendMessageA(::GetDlgItem(editor.m_hWnd, IDC_CE_MAP), WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(w + 5, h + 5));
    ::SendMessageA(::GetDlgItem(editor.m_hWnd, IDC_CE_MAP), WM_LBUTTONUP, 0,
                   MAKELPARAM(w + 5, h + 5));
    PumpMessages();
    EXPECT_EQ(editor.GetColor(), RGB(1, 2, 3));
}

TEST_F(ColourEditorTest, TheMapIsRebuiltOnlyForItsOwnComponent) {
    editor.SetModel(0);
    editor.SetColor(RGB(100, 50, 25));
    Open();
    // Slider 2761 (green) with the axis on red: the map keeps its red.
    ASSERT_TRUE(sdtest::FocusControl(editor.m_hWnd, IDC_CE_SLIDER1));
    sdtest::PressKey(editor.m_hWnd, VK_RIGHT);
    EXPECT_EQ(editor.GetComponent(1), 51);
    EXPECT_EQ(Text(IDC_CE_COMPONENT1), "51");
    EXPECT_EQ(editor.GetColor(), RGB(100, 51, 25));
    EXPECT_EQ(GetRValue(MapPixel(3, 3)), 100);
    // Slider 2760 (red, the axis): the map follows.
    ASSERT_TRUE(sdtest::FocusControl(editor.m_hWnd, IDC_CE_SLIDER0));
    sdtest::PressKey(editor.m_hWnd, VK_END);
    EXPECT_EQ(Text(IDC_CE_COMPONENT0), "255");
    EXPECT_EQ(GetRValue(MapPixel(3, 3)), 255);
    // Typing a value moves the slider; a new axis rebuilds the map for its component.
    ASSERT_TRUE(sdtest::Type(editor.m_hWnd, IDC_CE_COMPONENT2, "77"));
    EXPECT_EQ(SliderPos(IDC_CE_SLIDER2), 77);
    EXPECT_EQ(editor.GetColor(), RGB(255, 51, 77));
    ASSERT_TRUE(sdtest::Click(editor.m_hWnd, IDC_CE_AXIS2));
    EXPECT_EQ(editor.GetMapAxis(), 2);
    EXPECT_EQ(MapPixel(0, 0), RGB(0, 0, 77));
    // A number past 255 is taken as 255.
    ASSERT_TRUE(sdtest::Type(editor.m_hWnd, IDC_CE_COMPONENT2, "300"));
    EXPECT_EQ(editor.GetComponent(2), 255);
}

TEST_F(ColourEditorTest, MarkerSitsOnTheShownComponents) {
    const BYTE c[3] = {10, 128, 255};
    const struct {
        int axis;
        POINT at;
    } cases[] = {{0, {255, 64}}, {1, {255, 5}}, {2, {10, 64}}};
    for (const auto& k : cases) {
        const POINT p = CColourEditor::MarkerPosition(k.axis, c, 256, 128);
        EXPECT_EQ(p.x, k.at.x) << "axis " << k.axis;
        EXPECT_EQ(p.y, k.at.y) << "axis " << k.axis;
    }
}

TEST_F(ColourEditorTest, TheMarkerIsItsIconCentredOnTheComponents) {
    // Rows 6..25 of icon 340: '#' black, 'o' white, '.' transparent.
    static const char* const rows[] = {
        ".............oooooo.............", "...........oo######oo...........",
        ".........oo##########oo.........", "........oo###oooooo###oo........",
        "........o###oo....oo###o........", ".......o###o........o###o.......",
        ".......o##o..........o##o.......", "......o##oo..........oo##o......",
        "......o##o............o##o......", "......o##o............o##o......",
        "......o##o............o##o......", "......o##o............o##o......",
        "......o##oo..........oo##o......", ".......o##o..........o##o.......",
        ".......o###o........o###o.......", "........o###oo....oo###o........",
        "........oo###oooooo###oo........", ".........oo##########oo.........",
        "...........oo######oo...........", ".............oooooo.............",
    };
    editor.SetModel(0);
    editor.SetColor(RGB(100, 128, 128));
    Open();
    const int w = editor.GetMapPicture()->m_DIB.GetWidth();
    const int h = editor.GetMapPicture()->m_DIB.GetHeight();
    const BYTE c[3] = {100, 128, 128};
    const POINT m = CColourEditor::MarkerPosition(0, c, w, h);
    ASSERT_GE(m.x - 16, 0);
    ASSERT_LE(m.x + 16, w);
    HWND map = ::GetDlgItem(editor.m_hWnd, IDC_CE_MAP);
    ::InvalidateRect(map, nullptr, TRUE);
    ::UpdateWindow(map);
    const SdGdiImage shown = SdGdiReadWindow(map);
    int wrong = 0;
    for (int row = 0; row < 20; ++row)
        for (int col = 0; col < 32; ++col) {
            const int x = m.x - 16 + col, y = m.y - 16 + 6 + row;
            if (x < 0 || y < 0 || x >= w || y >= h || x >= shown.width || y >= shown.height)
                continue;
            const char k = rows[row][col];
            const COLORREF want = k == '#'   ? RGB(0, 0, 0)
                                  : k == 'o' ? RGB(255, 255, 255)
                                             : MapPixel(x, y);
            if (shown.at(x, y) != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ColourEditorTest, SwatchEnterAndClose) {
    editor.SetModel(0);
    editor.SetColor(RGB(0, 128, 255));
    Open();
    // The swatch shows the colour.
    const SdGdiImage shown = SdGdiReadWindow(::GetDlgItem(editor.m_hWnd, IDC_CE_SWATCH));
    ASSERT_GT(shown.width, 4);
    EXPECT_EQ(shown.at(shown.width / 2, shown.height / 2), RGB(0, 128, 255));
    // A click on it asks the owner for the colour (command 333).
    ASSERT_TRUE(sdtest::Click(editor.m_hWnd, IDC_CE_SWATCH));
    PumpMessages();
    EXPECT_NE(std::find(owner.log.begin(), owner.log.end(), "command 333"), owner.log.end());
    // Drags from it reach the main frame with the editor as their source.
    Recorder frame;
    ASSERT_TRUE(frame.Make("frame"));
    frame.editor = editor.m_hWnd;
    CWnd* oldMain = AfxGetThread()->m_pMainWnd;
    AfxGetThread()->m_pMainWnd = &frame;
    const HWND swatch = ::GetDlgItem(editor.m_hWnd, IDC_CE_SWATCH);
    ::SendMessageA(editor.m_hWnd, WM_CTRLDRAGOVER, MK_LBUTTON, LPARAM(swatch));
    ::SendMessageA(editor.m_hWnd, WM_CTRLDROP, 0, LPARAM(swatch));
    AfxGetThread()->m_pMainWnd = oldMain;
    EXPECT_EQ(frame.log, (std::vector<std::string>{"over editor", "drop editor"}));
    frame.DestroyWindow();
    // Enter beeps and keeps the editor; Escape closes it and its placement is kept.
    const int beeps = SdBeepCount();
    ASSERT_TRUE(sdtest::FocusControl(editor.m_hWnd, IDC_CE_COMPONENT0));
    sdtest::PressKey(editor.m_hWnd, VK_RETURN);
    EXPECT_EQ(SdBeepCount(), beeps + 1);
    ASSERT_TRUE(::IsWindow(editor.m_hWnd));
    sdtest::PressKey(editor.m_hWnd, VK_ESCAPE);
    EXPECT_EQ(editor.m_hWnd, nullptr);
    EXPECT_EQ(editor.GetMapPicture(), nullptr);
    EXPECT_EQ(editor.GetColor(), RGB(0, 128, 255));
    char placement[256] = {};
    ::GetPrivateProfileStringA("ColourEditor", "WindowPos", "", placement, sizeof placement,
                               app->m_pszProfileName);
    EXPECT_STRNE(placement, "");
}

} // namespace
