#include "output/CPrintSheet.h"

#include <pathkit/Path.h>
#include <win32/user.h>

#include "output/CCutPage.h"
#include "output/CPrintEngine.h"
#include "output/CPrintLayoutPage.h"
#include "output/CPrintOptionsPage.h"
#include "output/CPrintPage.h"
#include "output/CTilePage.h"
#include "output/OutputIds.h"

IMPLEMENT_DYNAMIC(CPrintSheet, CPropertySheet)

CPrintSheet::CPrintSheet(LPCSTR caption, CWnd* parent) : CPropertySheet(caption, parent) {}

BOOL CPrintSheet::OnInitDialog() {
    BOOL result = CPropertySheet::OnInitDialog();
    for (int id : {IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(SW_HIDE);
    return result;
}

BOOL CPrintSheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDOK && lParam == 0) {
        int count = GetPageCount();
        if (count > 0) SetActivePage((GetActiveIndex() + 1) % count);
        return TRUE;
    }
    return CPropertySheet::OnCommand(wParam, lParam);
}

void RunPrintSheet(CWnd* parent, PrintSource* source) {
    RunPrintSheet(parent, source, ThePrintEngine());
}

void RunPrintSheet(CWnd* parent, PrintSource* source, CPrintEngine& engine) {
    CString title;
    if (!title.LoadString(IDS_OUT_PRINT_TITLE)) title = "Print";
    CPrintSheet sheet(title, parent);
    CPrintLayoutPage layoutPage(engine);
    CTilePage tilePage(engine);
    CPrintOptionsPage optionsPage(engine);
    CPrintPage printPage(engine);
    CCutPage cutPage(engine);
    sheet.AddPage(&layoutPage);
    sheet.AddPage(&tilePage);
    sheet.AddPage(&optionsPage);
    sheet.AddPage(&printPage);
    sheet.AddPage(&cutPage);
    Path outlines(0);
    Path lines(0);
    engine.outlinePaths = &outlines;
    engine.linePaths = &lines;
    if (source) source->GetCutContours(outlines, lines);
    engine.Attach(source);
    engine.UpdateLayout(1);
    float x = engine.xPosition, y = engine.yPosition, scale = engine.scale, gap = engine.gap;
    int copies = engine.copies, mirror = engine.mirror, rotation = engine.rotation;
    // The design at preview resolution, drawn once for the pages' previews.
    engine.BuildPreviewBitmap(600, 600);
    sheet.DoModal();
    engine.ReleasePreviewBitmap();
    // Only a changed layout is stored: an unchanged one leaves the document unmodified.
    if (source && (x != engine.xPosition || y != engine.yPosition || scale != engine.scale ||
                   gap != engine.gap || copies != engine.copies || mirror != engine.mirror ||
                   rotation != engine.rotation))
        source->SetPrintSettings(engine.xPosition, engine.yPosition, engine.scale, engine.gap,
                                 engine.copies, engine.mirror, engine.rotation);
    engine.outlinePaths = nullptr;
    engine.linePaths = nullptr;
    engine.source = nullptr;
}
