#pragma once
// The tile page: tile mode, tile size, overlaps, manual feed, and the choice of the panels to
// cut, with buttons or with the mouse on the preview.

#include "CDisplayPage.h"

namespace plotsheet {

class CTilePage : public CDisplayPage {
public:
    CTilePage();

    int CanEditLayout() override { return 0; }
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    void OnReset() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnPreviewEvent() override;
    void OnPreviewDoubleClick() override;

    void OnMode();
    void OnSelectAll();
    void OnSelectNone();
    void OnInvert();
    void OnTileSize();
    void OnOverlap();
    void OnManualFeed();
    void OnRefresh();
    DECLARE_MESSAGE_MAP()

private:
    void BringUpToDate();
    void ShowCount();
    void ManualFeedRule();
    void WriteSettings();
    float Ear() const;

    float maxX_ = 50000, maxY_ = 10000;
    bool loading_ = false;
};

} // namespace plotsheet
