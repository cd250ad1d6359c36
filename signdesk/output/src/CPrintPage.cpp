#include "output/CPrintPage.h"

#include <mfc/CDataExchange.h>
#include <win32/controls.h>

#include "output/CPrintEngine.h"
#include "output/PrintRun.h"

CPrintPage::CPrintPage(CPrintEngine& e) : CPreviewPage(IDD, e) {}

void CPrintPage::DoDataExchange(CDataExchange* pDX) {
    CPreviewPage::DoDataExchange(pDX);
    DDX_Check(pDX, 2664, askBetweenPages);
}

void CPrintPage::Print(bool testPrint) {
    if (m_hWnd && !UpdateData(TRUE)) return;
    engine.testPrint = testPrint ? 1 : 0;
    RunPrintAction(engine, askBetweenPages != 0);
    engine.testPrint = 0;
}

BOOL CPrintPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case 2700:
        if (HIWORD(wParam) != BN_CLICKED) break;
        Print(false);
        return TRUE;
    case 33141:
        Print(true);
        return TRUE;
    default:
        break;
    }
    return CPreviewPage::OnCommand(wParam, lParam);
}
