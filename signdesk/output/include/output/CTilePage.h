#pragma once
// The tile page (template 1527): the tiling mode, tile size and overlaps, and which tiles
// print. The design is not edited here; the preview pans.
#include <pathkit/Point.h>

#include "output/CPreviewPage.h"

class CTilePage : public CPreviewPage {
public:
    enum { IDD = 1527 };
    explicit CTilePage(CPrintEngine& engine);
    bool IsLayoutEditable() override { return false; }
    // Re-checks the tile size and lays the tiles out again (forced).
    virtual void RerunLayout();
    void ShowStatus();

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPreviewMouse() override;

private:
    void ShowFields();
    bool showing_ = false;
    floatPoint dragFrom_;
};
