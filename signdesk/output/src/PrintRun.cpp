#include "output/PrintRun.h"

#include <mfc/CDC.h>
#include <mfc/CPrintDialog.h>
#include <mfc/CWaitCursor.h>
#include <mfc/CWinApp.h>
#include <mfc/FrameworkIds.h>
#include <win32/user.h>

#include "output/CPrintEngine.h"
#include "output/OutputIds.h"

namespace {
CString Text(UINT id, const char* fallback) {
    CString s;
    if (!s.LoadString(id)) s = fallback;
    return s;
}

void TellFailure(const char* printer, int page, UINT reasonId, const char* reasonFallback) {
    CString reason = Text(reasonId, reasonFallback);
    CString format = Text(IDS_OUT_PRINT_FAILED, "Printing on %s stopped at page %d: %s");
    CString message;
    message.Format(format, printer ? printer : "", page, static_cast<const char*>(reason));
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
}
} // namespace

PrintRunResult PrintPages(CDC& dc, CPrintEngine& engine, const char* printerName,
                          const char* documentName, bool askBetweenPages) {
    CString refusal = engine.CheckOutput(&dc);
    if (!refusal.IsEmpty()) {
        AfxMessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
        return PrintRunResult::Refused;
    }
    PrintSource* view = engine.source;
    if (view && !view->BeginPrinting(&dc)) {
        view->EndPrinting(&dc);
        return PrintRunResult::Stopped;
    }
    auto finish = [&] {
        if (view) view->EndPrinting(&dc);
    };
    if (dc.StartDoc(documentName ? documentName : "") <= 0) {
        TellFailure(printerName, 1, IDS_OUT_REASON_START_DOC,
                    "the printer did not take the document");
        finish();
        return PrintRunResult::Failed;
    }
    floatTMatrix device = CPrintEngine::DeviceMatrix(&dc);
    int first = engine.GetFirstPage();
    int count = engine.GetPageCount();
    PrintRunResult result = PrintRunResult::Printed;
    for (int page = first; page < count; ++page) {
        engine.SetPage(page);
        UINT failure = 0;
        const char* fallback = "";
        {
            CWaitCursor wait;
            if (dc.StartPage() <= 0) {
                failure = IDS_OUT_REASON_START_PAGE;
                fallback = "the printer did not start the page";
            } else {
                engine.DrawDocument(&dc, device, 0);
                if (!engine.BandFailure().IsEmpty()) {
                    failure = IDS_OUT_REASON_BAND;
                    fallback = "there was not enough memory for the page's picture";
                } else if (dc.EndPage() <= 0) {
                    failure = IDS_OUT_REASON_END_PAGE;
                    fallback = "the printer did not take the page";
                }
            }
        }
        if (failure) {
            dc.AbortDoc();
            TellFailure(printerName, page + 1, failure, fallback);
            finish();
            return PrintRunResult::Failed;
        }
        if (page + 1 < count && askBetweenPages &&
            AfxMessageBox(IDS_OUT_NEXT_PAGE, MB_YESNO | MB_ICONQUESTION) == IDNO) {
            result = PrintRunResult::Stopped;
            break;
        }
    }
    if (dc.EndDoc() <= 0) {
        dc.AbortDoc();
        TellFailure(printerName, count, IDS_OUT_REASON_END_DOC,
                    "the printer did not finish the document");
        finish();
        return PrintRunResult::Failed;
    }
    finish();
    return result;
}

PrintRunResult RunPrintAction(CPrintEngine& engine, bool askBetweenPages) {
    CPrintDialog dialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                   PD_HIDEPRINTTOFILE | PD_NOSELECTION | PD_RETURNDC);
    if (dialog.DoModal() != IDOK) return PrintRunResult::Stopped;
    HDC hdc = dialog.GetPrinterDC();
    if (!hdc) hdc = dialog.CreatePrinterDC();
    if (!hdc) {
        AfxMessageBox(IDS_OUT_NO_PRINTER, MB_OK | MB_ICONEXCLAMATION);
        return PrintRunResult::Refused;
    }
    CDC dc;
    dc.Attach(hdc);
    dc.m_bPrinting = TRUE;
    CString title =
        Text(AFX_IDS_APP_TITLE,
             AfxGetApp() && AfxGetApp()->m_pszAppName ? AfxGetApp()->m_pszAppName : "signdesk");
    CString printer = dialog.GetDeviceName();
    PrintRunResult result = PrintPages(dc, engine, printer, title, askBetweenPages);
    ::DeleteDC(dc.Detach());
    dialog.m_pd.hDC = nullptr;
    return result;
}
