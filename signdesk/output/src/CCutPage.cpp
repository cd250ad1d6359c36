#include "output/CCutPage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <mfc/CDC.h>
#include <mfc/CDataExchange.h>
#include <mfc/CGdiObject.h>
#include <mfc/CStringArray.h>
#include <mfc/CWinApp.h>
#include <mfc/FrameworkIds.h>
#include <pathkit/Path.h>
#include <plot/PlotIni.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <settings/CIniFile.h>
#include <settings/PathNames.h>
#include <settings/ProgramFolders.h>
#include <shell/BoxTransforms.h>
#include <shell/MeasureFields.h>
#include <win32/controls.h>
#include <win32/icon.h>
#include <win32/user.h>

#include "output/CCalibrationDlg.h"
#include "output/COutputSettingsDlg.h"
#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"
#include "output/OutputIds.h"
#include "output/PrintCut.h"
#include "output/ViewOutput.h"

namespace {
enum : int {
    IDC_OVERCUT = 2600,
    IDC_EDIT_POINTS = 2660,
    IDC_PLOT_MODE = 2661,
    IDC_OPTIMIZE = 2662,
    IDC_SPOOLER = 2663,
    IDC_SETUP = 2700,
    IDC_DELETE = 2701,
    IDC_DEFAULT_POINTS = 2703,
    IDC_CALIBRATE = 2704,
    IDC_ACCEPT = 2705,
    IDC_CUT = 2709,
    IDC_HOME = 2710,
    IDC_PLOTTERS = 2720,
    IDC_BUSY = 1251,
    IDC_SHEET = 2605,
    IDC_SHEET_COUNT = 2621,
    IDC_SHEET_SPIN = 2680,
};
const char* const kPlotter = "Plotter";
} // namespace

CCutPage::CCutPage(CPrintEngine& e) : CPreviewPage(IDD, e) {
    for (floatPoint& p : points)
        p = floatPoint(-1, -1);
}

void CCutPage::AbortPoll::CheckAbort() {
    MSG msg;
    // Escape and paint only: a click or a key meant for later stays queued.
    if (::PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) &&
        msg.wParam == VK_ESCAPE) {
        ::PeekMessageA(&msg, msg.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        ::MessageBeep(UINT(-1));
        if (AfxMessageBox(IDS_OUT_STOP_CUTTING, MB_YESNO | MB_ICONQUESTION) != IDNO) {
            aborted = DRV.aborted = 1;
            userAborted = true;
        }
    }
    if (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageA(&msg);
}

CString CCutPage::JobName() const {
    CString name = JobNameFromPath(engine.documentPath);
    if (name.IsEmpty() && !name.LoadString(AFX_IDS_UNTITLED)) name = "Untitled";
    return name;
}

void CCutPage::LoadPlotterSettings() {
    CIniFile ini(GetPlotIni());
    currentPlotter = ini.GetCString(kPlotter, "CurrentPlotter", "");
    overcutting = float(ini.GetFloat(kPlotter, "Overcutting", 0.0));
    if (!(overcutting >= 0) || overcutting > 10) overcutting = 0;
    optimization = int(ini.GetInt(kPlotter, "Optimization", 1));
    plotMode = int(ini.GetInt(kPlotter, "PlotMode", 0));
    useSpooler = int(ini.GetInt(kPlotter, "UseSpooler", 0));
    DRV.spoolDirectory = ini.GetCString(kPlotter, "SpoolDirectory", "");
    DRV.media = ini.GetCString(kPlotter, "Media", "");
    DRV.color = ini.GetCString(kPlotter, "Color", "");
    OverCutting = overcutting;
    Optimization = optimization;
    DRV.useSpooler = useSpooler;
    jobName_ = JobName();
    DRV.jobName = jobName_;
}

void CCutPage::SavePlotterSettings() {
    CIniFile ini(GetPlotIni());
    ini.WriteString(kPlotter, "CurrentPlotter", currentPlotter);
    ini.WriteFloat(kPlotter, "Overcutting", overcutting);
    ini.WriteInt(kPlotter, "Optimization", optimization);
    ini.WriteInt(kPlotter, "PlotMode", plotMode);
    ini.WriteInt(kPlotter, "UseSpooler", useSpooler);
    ini.WriteString(kPlotter, "SpoolDirectory", DRV.spoolDirectory);
    ini.WriteString(kPlotter, "Media", DRV.media);
    ini.WriteString(kPlotter, "Color", DRV.color);
    ini.Flush();
    OverCutting = overcutting;
    Optimization = optimization;
    DRV.useSpooler = useSpooler;
}

BOOL CCutPage::OnInitDialog() {
    CPreviewPage::OnInitDialog();
    devicesPath = GetDataFilePath("Devices.ini");
    LoadPlotterSettings();
    plotters.SubclassDlgItem(IDC_PLOTTERS, this);
    CStringArray names;
    {
        CIniFile ini(devicesPath);
        ini.GetSectionNames(names);
    }
    for (int i = 0; i < names.GetSize(); ++i)
        plotters.AddString(names[i]);
    if (currentPlotter.IsEmpty() && names.GetSize() > 0) {
        currentPlotter = names[0];
        SavePlotterSettings();
    }
    int at = plotters.FindStringExact(-1, currentPlotter);
    plotters.SetCurSel(at);
    if (CWnd* spin = GetDlgItem(IDC_SHEET_SPIN))
        if (CWnd* edit = GetDlgItem(IDC_SHEET))
            ::SendMessageA(spin->m_hWnd, UDM_SETBUDDY, WPARAM(edit->m_hWnd), 0);
    UpdateData(FALSE);
    UpdateControls();
    return TRUE;
}

void CCutPage::DoDataExchange(CDataExchange* pDX) {
    CPreviewPage::DoDataExchange(pDX);
    DDX_Measure(pDX, IDC_OVERCUT, overcutting);
    DDV_Measure(pDX, overcutting, 0.0f, 10.0f);
    DDX_Check(pDX, IDC_OPTIMIZE, optimization);
    DDX_Check(pDX, IDC_PLOT_MODE, plotMode);
    DDX_Check(pDX, IDC_SPOOLER, useSpooler);
    DDX_Check(pDX, IDC_EDIT_POINTS, editPoints);
}

bool CCutPage::PointsPlaced() const {
    for (const floatPoint& p : points)
        if (p.x < 0 || p.y < 0) return false;
    return true;
}

void CCutPage::SetDefaultPoints() {
    DefaultRegistrationPoints(engine, points);
}

BOOL CCutPage::OnSetActive() {
    if (engine.tiles.IsTiled()) {
        AfxMessageBox(IDS_OUT_TILED_NO_CUT, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    if (!(engine.calibrationValid && PointsPlaced())) SetDefaultPoints();
    ShowSheet();
    UpdateControls();
    return CPreviewPage::OnSetActive();
}

BOOL CCutPage::OnKillActive() {
    if (!CPreviewPage::OnKillActive()) return FALSE;
    SavePlotterSettings();
    return TRUE;
}

void CCutPage::UpdateControls() {
    bool contours = (engine.outlinePaths && engine.outlinePaths->subPaths.Filled() > 0) ||
                    (engine.linePaths && engine.linePaths->subPaths.Filled() > 0);
    if (CWnd* w = GetDlgItem(IDC_CUT)) w->EnableWindow(engine.calibrationValid && contours);
    if (CWnd* w = GetDlgItem(IDC_CALIBRATE)) w->EnableWindow(PointsPlaced());
    if (CWnd* w = GetDlgItem(IDC_ACCEPT)) w->EnableWindow(PointsPlaced());
    RepaintPreview();
}

void CCutPage::SelectSheet(int index) {
    index = std::clamp(index, 0, std::max(0, engine.GetPageCount() - 1));
    if (index != engine.sheetIndex) {
        engine.sheetIndex = index;
        engine.calibrationValid = 0;
    }
    ShowSheet();
    UpdateControls();
}

void CCutPage::ShowSheet() {
    const int sheets = std::max(1, engine.GetPageCount());
    showingSheet_ = true;
    if (CWnd* spin = GetDlgItem(IDC_SHEET_SPIN))
        ::SendMessageA(spin->m_hWnd, UDM_SETRANGE32, 1, sheets);
    CString text;
    text.Format("%d", engine.sheetIndex + 1);
    CString current;
    GetDlgItemText(IDC_SHEET, current);
    if (current != text) SetDlgItemText(IDC_SHEET, text);
    CString format;
    if (!format.LoadString(IDS_OUT_SHEET_COUNT)) format = "of %d";
    text.Format(format, sheets);
    SetDlgItemText(IDC_SHEET_COUNT, text);
    showingSheet_ = false;
}

void CCutPage::ShowBusy(bool on) {
    CString text;
    if (on) text.LoadString(IDS_OUT_BUSY);
    if (CWnd* w = GetDlgItem(IDC_BUSY)) w->SetWindowText(text);
}

bool CCutPage::AttachCurrentPlotter() {
    CString driver;
    {
        CIniFile ini(devicesPath.IsEmpty() ? GetDataFilePath("Devices.ini") : devicesPath, 1);
        driver = ini.GetCString(currentPlotter, "Driver", "cutdrv-dune.dll");
    }
    abortPoll_.aborted = 0;
    abortPoll_.userAborted = false;
    DRV.aborted = 0;
    if (DRV.Attach(driver, currentPlotter, devicesPath, &abortPoll_) != 0) {
        // No driver object: nothing may be sent, and the user learns why. Without a cutter
        // chosen the driver has said so already.
        DRV.Detach();
        if (currentPlotter.IsEmpty()) return false;
        CString text, format;
        if (!format.LoadString(IDS_OUT_CUT_NO_DRIVER))
            format = "The cutter \"%s\" has no working driver.";
        text.Format(format, static_cast<const char*>(currentPlotter));
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    DRV.jobName = jobName_;
    return true;
}

void CCutPage::MoveToOrigin() {
    DRV.MoveTo(DRV.homeX - DRV.headX, DRV.homeY - DRV.headY);
    DRV.headX = DRV.homeX;
    DRV.headY = DRV.homeY;
}

void CCutPage::Cut() {
    if (!engine.source || !engine.source->CanCut()) {
        AfxMessageBox(IDS_OUT_NOTHING_TO_CUT, MB_OK | MB_ICONINFORMATION);
        return;
    }
    CString refusal = engine.CheckOutput(nullptr);
    if (!refusal.IsEmpty()) {
        AfxMessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (DRV.useSpooler) {
        COutputSettingsDlg spool(this);
        if (spool.DoModal() != IDOK) return;
        SavePlotterSettings();
    }
    DRV.copies = engine.copies;
    DRV.sheetText.Format("%d/%d", engine.sheetIndex + 1, std::max(1, engine.GetPageCount()));
    DRV.sheetSizeText.Format("%d x %d", int(std::floor(engine.blockWidth + 0.5f)),
                             int(std::floor(engine.blockHeight + 0.5f)));
    if (!AttachCurrentPlotter()) return;
    ShowBusy(true);
    DRV.headX = DRV.headY = 0;
    DRV.Init(1);
    DRV.HPStart();
    DRV.HPEnd();
    DRV.Start(plotMode ? 0 : 1);
    DRV.SetSpeed(plotMode ? 0 : 1);
    CutReport report = CutSheetCopies(DRV, engine, calibration, engine.sheetIndex, true);
    bool aborted = DRV.aborted != 0;
    // The closing steps run after an abort too: they reach the driver's own clean-up.
    int wasAborted = DRV.aborted;
    DRV.aborted = 0;
    MoveToOrigin();
    DRV.End();
    DRV.GetHeadPos();
    DRV.aborted = wasAborted;
    DRV.Exit();
    ShowBusy(false);
    DRV.Detach();
    if (report.result == CutResult::NothingCut) return;
    if (aborted || report.copiesCut < report.copiesOnSheet) {
        CString format, text;
        UINT id = abortPoll_.userAborted ? IDS_OUT_CUT_ABORTED : IDS_OUT_CUT_PORT_FAILED;
        format.LoadString(id);
        text.Format(format, report.copiesCut, report.copiesOnSheet);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    AfxMessageBox(IDS_OUT_CUT_FINISHED, MB_OK | MB_ICONINFORMATION);
}

void CCutPage::MoveHome() {
    if (!AttachCurrentPlotter()) return;
    ShowBusy(true);
    DRV.Init(1);
    DRV.headX = DRV.headY = 0;
    MoveToOrigin();
    DRV.Reset();
    DRV.GetHeadPos();
    DRV.Exit();
    ShowBusy(false);
    DRV.headX = DRV.headY = 0;
    DRV.Detach();
}

void CCutPage::Calibrate() {
    CCalibrationDlg dlg(DRV, points, this);
    if (!AttachCurrentPlotter()) return;
    ShowBusy(true);
    DRV.Init(1);
    static const char calibrationJob[] = "Calibration";
    DRV.SetJobName(calibrationJob);
    DRV.HPStart();
    DRV.headX = DRV.headY = 0;
    MoveToOrigin();
    DRV.Reset();
    DRV.GetHeadPos();
    DRV.headX = DRV.headY = 0;
    ShowBusy(false);
    engine.calibrationValid = 0;
    if (!DRV.aborted) {
        CIniFile ini(devicesPath, 1);
        dlg.laserX = ini.GetFloat(currentPlotter, "CalOffsetX", 0);
        dlg.laserY = ini.GetFloat(currentPlotter, "CalOffsetY", 0);
        dlg.useLaser = int(ini.GetInt(currentPlotter, "UseLaserpoint", 0));
        dlg.laserAllowed = int(ini.GetInt(currentPlotter, "EnableLaserpoint", 0));
        INT_PTR answer = dlg.DoModal();
        DRV.abortHandler = &abortPoll_;
        ShowBusy(true);
        if (answer == IDOK) {
            ini.WriteInt(currentPlotter, "UseLaserpoint", dlg.useLaser);
            ini.Flush();
            MoveToOrigin();
            DRV.headX = DRV.headY = 0;
            DRV.HPEnd();
            floatTMatrix fit;
            engine.calibrationValid =
                MatrixFromThreePoints(fit, points[0], points[1], points[2], dlg.measured[0],
                                      dlg.measured[1], dlg.measured[2]);
            if (engine.calibrationValid) calibration = fit;
        } else {
            DRV.HPEnd();
        }
    }
    DRV.Exit();
    ShowBusy(false);
    DRV.Detach();
    UpdateControls();
}

void CCutPage::DeleteDevice() {
    CString format, text;
    format.LoadString(IDS_OUT_DELETE_DEVICE);
    text.Format(format, static_cast<const char*>(currentPlotter));
    if (AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    {
        CIniFile ini(devicesPath, 1);
        ini.WriteString(currentPlotter, nullptr, nullptr);
        ini.Flush();
    }
    int at = plotters.FindStringExact(-1, currentPlotter);
    if (at >= 0) {
        plotters.DeleteString(UINT(at));
        int count = plotters.GetCount();
        plotters.SetCurSel(at < count ? at : count - 1);
    }
    UpdateData(TRUE);
    int sel = plotters.GetCurSel();
    currentPlotter.Empty();
    if (sel >= 0) plotters.GetLBText(sel, currentPlotter);
    SavePlotterSettings();
}

void CCutPage::SnapPoint(floatPoint& p) {
    float t = engine.PreviewLengthToPage(6);
    auto near = [&](const floatPoint& q) {
        return std::max(std::fabs(q.x - p.x), std::fabs(q.y - p.y)) <= t;
    };
    auto take = [&](const floatPoint& q) {
        p = q;
        ::MessageBeep(UINT(-1));
    };
    if (engine.syncMarks != 0) {
        floatPoint defaults[3];
        DefaultRegistrationPoints(engine, defaults);
        for (const floatPoint& q : defaults)
            if (near(q)) return take(q);
    }
    bool snapped = false;
    engine.ForEachCopy(engine.sheetIndex, [&](const floatTMatrix& placed) {
        if (snapped) return;
        floatTMatrix toPage = engine.designMatrix * placed;
        floatBBox box;
        engine.GetBox(box);
        float xs[2] = {box.left, box.right}, ys[2] = {box.bottom, box.top};
        for (float y : ys)
            for (float x : xs) {
                float px = x, py = y;
                toPage.Transform(px, py);
                if (!snapped && near(floatPoint(px, py))) {
                    take(floatPoint(px, py));
                    snapped = true;
                }
            }
        if (snapped || !engine.source) return;
        floatPoint inDesign = p;
        toPage.Inv().Transform(inDesign.x, inDesign.y);
        float scaleBack = std::fabs(toPage.m11) + std::fabs(toPage.m21);
        if (engine.source->SnapToNode(inDesign, scaleBack > 0 ? t / scaleBack : t)) {
            toPage.Transform(inDesign.x, inDesign.y);
            take(inDesign);
            snapped = true;
        }
    });
}

void CCutPage::OnPreviewMouse() {
    if (!editPoints) {
        CPreviewPage::OnPreviewMouse();
        return;
    }
    POINT at = preview.eventPoint;
    switch (preview.eventKind) {
    case CMouseEventButton::LeftDown:
        for (int i = 0; i < 3; ++i) {
            POINT q = engine.PageToPreview(points[i]);
            if (std::abs(q.x - at.x) < 9 && std::abs(q.y - at.y) < 9) {
                pickedPoint = i;
                points[i] = floatPoint(-1, -1);
                ::SetCursor(::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCE(WORD(208 + i))));
                RepaintPreview();
                break;
            }
        }
        break;
    case CMouseEventButton::LeftUp:
        if (pickedPoint >= 0) {
            floatPoint p = engine.PreviewToPage(at);
            SnapPoint(p);
            points[pickedPoint] = p;
            pickedPoint = -1;
            ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
            RepaintPreview();
            floatTMatrix self;
            if (!MatrixFromThreePoints(self, points[0], points[1], points[2], points[0], points[1],
                                       points[2]))
                AfxMessageBox(IDS_OUT_BAD_TRIANGLE, MB_OK | MB_ICONEXCLAMATION);
            UpdateControls();
        }
        break;
    case CMouseEventButton::MouseMove: {
        bool over = false;
        for (const floatPoint& p : points) {
            POINT q = engine.PageToPreview(p);
            if (std::abs(q.x - at.x) < 9 && std::abs(q.y - at.y) < 9) over = true;
        }
        if (pickedPoint < 0) ::SetCursor(::LoadCursorA(nullptr, over ? IDC_SIZEALL : IDC_ARROW));
        break;
    }
    default:
        CPreviewPage::OnPreviewMouse();
        return;
    }
    ShowCursorPosition();
}

void CCutPage::PaintPreview(CDC* dc, const RECT& rect) {
    int oldCut = engine.printAndCut;
    engine.printAndCut = 1;
    engine.PaintPreview(dc, rect, nullptr, engine.sheetIndex);
    engine.printAndCut = oldCut;
    // Each placed point as its icon, the icon's hot spot on the point; a square where the
    // icon cannot be loaded.
    static const POINT hotSpots[3] = {{5, 26}, {5, 5}, {26, 5}};
    for (int i = 0; i < 3; ++i) {
        if (points[i].x < 0 || points[i].y < 0) continue;
        POINT p = engine.PageToPreview(points[i]);
        HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(WORD(205 + i)));
        if (icon && dc->DrawIcon(p.x - hotSpots[i].x, p.y - hotSpots[i].y, icon)) continue;
        CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
        CPen* old = dc->SelectObject(&pen);
        dc->Rectangle(p.x - 3, p.y - 3, p.x + 3, p.y + 3);
        dc->SelectObject(old);
    }
}

BOOL CCutPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    WORD id = LOWORD(wParam);
    WORD code = HIWORD(wParam);
    switch (id) {
    case IDC_PLOTTERS:
        if (code == CBN_SELCHANGE) {
            int sel = plotters.GetCurSel();
            plotters.GetLBText(sel < 0 ? 0 : sel, currentPlotter);
            SavePlotterSettings();
            return TRUE;
        }
        break;
    case IDC_SETUP:
        if (AttachCurrentPlotter()) {
            DRV.Setup(this);
            DRV.Detach();
        }
        return TRUE;
    case IDC_DELETE:
        DeleteDevice();
        return TRUE;
    case IDC_DEFAULT_POINTS:
        SetDefaultPoints();
        UpdateControls();
        return TRUE;
    case IDC_CALIBRATE:
        Calibrate();
        return TRUE;
    case IDC_ACCEPT:
        engine.calibrationValid = 1;
        UpdateControls();
        return TRUE;
    case IDC_CUT:
        if (UpdateData(TRUE)) {
            SavePlotterSettings();
            Cut();
        }
        return TRUE;
    case IDC_HOME:
        MoveHome();
        return TRUE;
    case IDC_SHEET:
        if (code == EN_CHANGE && !showingSheet_) {
            // A number outside the sheets waits for the user's next key; leaving it shows the
            // sheet kept.
            CString text;
            GetDlgItemText(IDC_SHEET, text);
            char* end = nullptr;
            long n = std::strtol(text, &end, 10);
            if (end != static_cast<const char*>(text) && *end == 0 && n >= 1 &&
                n <= engine.GetPageCount())
                SelectSheet(int(n - 1));
            return TRUE;
        }
        if (code == EN_KILLFOCUS) ShowSheet();
        break;
    case IDC_EDIT_POINTS:
        editPoints = IsDlgButtonChecked(IDC_EDIT_POINTS) ? 1 : 0;
        if (editPoints && AfxMessageBox(IDS_OUT_EDIT_POINTS, MB_YESNO | MB_ICONQUESTION) == IDNO) {
            editPoints = 0;
            CheckDlgButton(IDC_EDIT_POINTS, 0);
        }
        pickedPoint = -1;
        return TRUE;
    case IDC_SPOOLER:
        if (UpdateData(TRUE)) SavePlotterSettings();
        return TRUE;
    default:
        break;
    }
    return CPreviewPage::OnCommand(wParam, lParam);
}
