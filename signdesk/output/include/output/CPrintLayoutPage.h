#pragma once
// The print layout page (template 1509): the design's size, scale, position, copies and gap,
// with buttons to fit, centre and fill the page and the margins dialog.
#include "output/CPreviewPage.h"

class CPrintLayoutPage : public CPreviewPage {
public:
    enum { IDD = 1509 };
    explicit CPrintLayoutPage(CPrintEngine& engine);

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Every command ends so: layout, fields, preview.
    void Refresh();
    void KeepProportions(int changed);
    void EnableCentring();
    bool inProportions_ = false;
};
