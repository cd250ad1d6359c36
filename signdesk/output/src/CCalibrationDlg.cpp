#include "output/CCalibrationDlg.h"

#include <mfc/CControls.h>
#include <mfc/CDataExchange.h>
#include <mfc/CWinApp.h>
#include <plot/Plotter.h>
#include <settings/CUnit.h>
#include <shell/MeasureFields.h>
#include <win32/kernel.h>
#include <win32/user.h>
#include <win32/wingdi.h>

#include "output/OutputIds.h"
#include "output/PrintCut.h"

namespace {
enum : int {
    IDC_JOG_LEFT = 1556,
    IDC_JOG_RIGHT = 1557,
    IDC_JOG_UP = 1558,
    IDC_JOG_DOWN = 1559,
    IDC_READ_HEAD = 1561,
    IDC_POINT1_TEXT = 1562,
    IDC_RESET_HEAD = 1097,
    IDC_RECORD1 = 2700,
    IDC_AUTO_SEARCH = 2703,
    IDC_USE_LASER = 2660,
    IDC_SHOWN_X = 2600,
    IDC_SHOWN_Y = 2601,
};
} // namespace

BEGIN_MESSAGE_MAP(CCalibrationDlg, CDialog)
ON_CONTROL(BN_CLICKED, IDC_JOG_UP, OnUp)
ON_CONTROL(BN_CLICKED, IDC_JOG_DOWN, OnDown)
ON_CONTROL(BN_CLICKED, IDC_JOG_LEFT, OnLeft)
ON_CONTROL(BN_CLICKED, IDC_JOG_RIGHT, OnRight)
ON_CONTROL(BN_CLICKED, IDC_RECORD1, OnRecord1)
ON_CONTROL(BN_CLICKED, IDC_RECORD1 + 1, OnRecord2)
ON_CONTROL(BN_CLICKED, IDC_RECORD1 + 2, OnRecord3)
ON_CONTROL(BN_CLICKED, IDC_AUTO_SEARCH, OnAutoSearch)
ON_CONTROL(BN_CLICKED, IDC_READ_HEAD, OnReadHead)
ON_CONTROL(BN_CLICKED, IDC_RESET_HEAD, OnReset)
ON_CONTROL(BN_CLICKED, IDC_USE_LASER, OnLaser)
END_MESSAGE_MAP()

CCalibrationDlg::CCalibrationDlg(Plotter& plotter, const floatPoint t[3], CWnd* parent)
    : CDialog(IDD, parent), plotter_(plotter) {
    for (int i = 0; i < 3; ++i) {
        targets[i] = t[i];
        measured[i] = floatPoint(-1, -1);
    }
}

void CCalibrationDlg::EscapePoll::CheckAbort() {
    MSG msg;
    // Only Escape and paint are taken from the queue; everything else waits its turn.
    if (::PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) &&
        msg.wParam == VK_ESCAPE) {
        ::PeekMessageA(&msg, msg.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
        ::MessageBeep(UINT(-1));
        if (AfxMessageBox(IDS_OUT_STOP_CALIBRATION, MB_YESNO | MB_ICONQUESTION) != IDNO)
            aborted = plotter.aborted = 1;
    }
    if (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageA(&msg);
}

int CCalibrationDlg::CurrentJogStep() const {
    return JogStep(plotter_.GetStepSize(), ::GetKeyState(VK_CONTROL) < 0,
                   ::GetKeyState(VK_SHIFT) < 0);
}

BOOL CCalibrationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!laserAllowed)
        if (CWnd* w = GetDlgItem(IDC_USE_LASER)) w->ShowWindow(SW_HIDE);
    for (int i = 0; i < 4; ++i) {
        auto* b = static_cast<CButton*>(GetDlgItem(IDC_JOG_LEFT + i));
        HBITMAP bmp = ::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCE(WORD(1565 + i)));
        if (b && bmp) b->SetBitmap(bmp);
    }
    RefreshShownPosition();
    FocusCancel();
    return FALSE;
}

void CCalibrationDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_USE_LASER, useLaser);
    DDX_Measure(pDX, IDC_SHOWN_X, shownX);
    DDX_Measure(pDX, IDC_SHOWN_Y, shownY);
}

void CCalibrationDlg::FocusCancel() {
    if (CWnd* c = GetDlgItem(IDCANCEL)) c->SetFocus();
}

void CCalibrationDlg::RefreshShownPosition() {
    floatPoint p = HeadReading(plotter_.headX, plotter_.headY, plotter_.GetStepSize(),
                               useLaser != 0, laserX, laserY);
    shownX = p.x;
    shownY = p.y;
    if (m_hWnd) UpdateData(FALSE);
}

void CCalibrationDlg::ShowRecorded(int i) {
    CString text;
    text.Format("X=%0.2f Y=%0.2f", double(MmToCurrentUnit(measured[i].x)),
                double(MmToCurrentUnit(measured[i].y)));
    if (CWnd* w = GetDlgItem(IDC_POINT1_TEXT + i)) w->SetWindowText(text);
}

void CCalibrationDlg::Record(int i) {
    if (i < 0 || i > 2) return;
    RefreshShownPosition();
    measured[i] = floatPoint(shownX, shownY);
    ShowRecorded(i);
}

void CCalibrationDlg::Jog(LONG dx, LONG dy) {
    if (busy) {
        ::MessageBeep(UINT(-1));
        return;
    }
    DWORD now = ::GetTickCount();
    DWORD delay = DWORD(plotter_.HeadPosDelay());
    if (moveMade_ && delay != 0 && now - lastMoveTime <= delay) {
        ::MessageBeep(UINT(-1));
        return;
    }
    busy = 1;
    LONG oldX = plotter_.headX, oldY = plotter_.headY;
    LONG nx = JogTo(oldX, dx, limitX);
    LONG ny = JogTo(oldY, dy, limitY);
    if (nx == oldX && ny == oldY) {
        busy = 0;
        if (plotter_.aborted) EndDialog(IDCANCEL);
        return;
    }
    EscapePoll poll(plotter_);
    AbortHandler* previous = plotter_.abortHandler;
    plotter_.abortHandler = &poll;
    plotter_.headX = plotter_.headY = 0;
    plotter_.MoveTo(nx, ny);
    plotter_.abortHandler = previous;
    lastMoveTime = ::GetTickCount();
    moveMade_ = true;
    plotter_.headX = nx;
    plotter_.headY = ny;
    if (plotter_.aborted) {
        plotter_.headX = oldX;
        plotter_.headY = oldY;
    }
    RefreshShownPosition();
    busy = 0;
    if (plotter_.aborted) EndDialog(IDCANCEL);
}

void CCalibrationDlg::OnUp() {
    Jog(0, CurrentJogStep());
    FocusCancel();
}
void CCalibrationDlg::OnDown() {
    Jog(0, -CurrentJogStep());
    FocusCancel();
}
void CCalibrationDlg::OnLeft() {
    Jog(CurrentJogStep(), 0);
    FocusCancel();
}
void CCalibrationDlg::OnRight() {
    Jog(-CurrentJogStep(), 0);
    FocusCancel();
}
void CCalibrationDlg::OnRecord1() {
    Record(0);
}
void CCalibrationDlg::OnRecord2() {
    Record(1);
}
void CCalibrationDlg::OnRecord3() {
    Record(2);
}

void CCalibrationDlg::OnAutoSearch() {
    float step = plotter_.GetStepSize();
    if (!(step > 0)) return;
    LONG r[6] = {0, 0, 0, 0, 0, 0};
    if (!plotter_.AutoCalibrate(LONG(targets[0].x / step), LONG(targets[0].y / step),
                                LONG(targets[1].x / step), LONG(targets[1].y / step),
                                LONG(targets[2].x / step), LONG(targets[2].y / step), r[0], r[1],
                                r[2], r[3], r[4], r[5]))
        return;
    for (int i = 0; i < 3; ++i) {
        measured[i] = floatPoint(float(r[2 * i]) * step, float(r[2 * i + 1]) * step);
        ShowRecorded(i);
    }
}

void CCalibrationDlg::OnReadHead() {
    if (!plotter_.ReadHeadPos()) ::MessageBeep(UINT(-1));
    RefreshShownPosition();
}

void CCalibrationDlg::OnReset() {
    plotter_.headX = plotter_.headY = 0;
    plotter_.Reset();
    plotter_.GetHeadPos();
    RefreshShownPosition();
}

void CCalibrationDlg::OnLaser() {
    useLaser = IsDlgButtonChecked(IDC_USE_LASER) ? 1 : 0;
    RefreshShownPosition();
}

BOOL CCalibrationDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_UP:
            OnUp();
            return TRUE;
        case VK_DOWN:
            OnDown();
            return TRUE;
        case VK_LEFT:
            OnLeft();
            return TRUE;
        case VK_RIGHT:
            OnRight();
            return TRUE;
        case '1':
        case VK_NUMPAD0 + 1:
            Record(0);
            return TRUE;
        case '2':
        case VK_NUMPAD0 + 2:
            Record(1);
            return TRUE;
        case '3':
        case VK_NUMPAD0 + 3:
            Record(2);
            return TRUE;
        case VK_TAB:
            FocusCancel();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CCalibrationDlg::OnOK() {
    int problem = CheckCalibration(targets, measured, useLaser != 0, laserX, laserY);
    if (problem == IDS_OUT_DISTANCES_DIFFER) {
        if (AfxMessageBox(IDS_OUT_DISTANCES_DIFFER, MB_YESNO | MB_ICONQUESTION) == IDNO) return;
    } else if (problem) {
        AfxMessageBox(UINT(problem), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    EndDialog(IDOK);
}
