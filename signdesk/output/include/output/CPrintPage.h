#pragma once
// The print page (template 1511): prints the layout, asking between pages when wanted, and
// the test print (command 33141): a frame round the page, nothing clipped to the block.
#include "output/CPreviewPage.h"

class CPrintPage : public CPreviewPage {
public:
    enum { IDD = 1511 };
    explicit CPrintPage(CPrintEngine& engine);
    bool IsLayoutEditable() override { return false; }
    void Print(bool testPrint);
    int askBetweenPages = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};
