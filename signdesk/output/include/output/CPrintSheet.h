#pragma once
// The output sheet: the pages carry their own actions, so its buttons are hidden, and Enter
// moves on to the next page (after the last, the first).
#include <mfc/CPropertySheet.h>

class CPrintEngine;
class PrintSource;

class CPrintSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CPrintSheet)
public:
    explicit CPrintSheet(LPCSTR caption, CWnd* parent = nullptr);
    BOOL OnInitDialog() override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// The view's output command: the sheet over the source (its cut contours, its stored layout),
// the layout stored back when it changed, whatever closed the sheet.
void RunPrintSheet(CWnd* parent, PrintSource* source);
void RunPrintSheet(CWnd* parent, PrintSource* source, CPrintEngine& engine);
