#pragma once
// The settings page: which colours and layers are cut, registration markers (placed with the
// mouse), the weeding box and the panel marks.

#include <mfc/CCheckListBox.h>

#include "CDisplayPage.h"

namespace plotsheet {

// The job's colours, each with its check; the item data is the colour.
class CColorListBox : public CCheckListBox {
public:
    void DrawItem(LPDRAWITEMSTRUCT item) override;
};

class CSettingsPage : public CDisplayPage {
public:
    CSettingsPage();

    BOOL OnInitDialog() override;
    int CanEditLayout() override { return !editMarkers_; }

    int editMarkers_ = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void DrawPreview(CDC& dc) override;
    void OnPreviewEvent() override;

    void OnLayer();
    void OnCheckAll();
    void OnClearAll();
    void OnApplyColours();
    void OnColourDoubleClick();
    void OnWeedMargin();
    void OnPanelMark();
    void OnMarkerSize();
    void OnWeedBox();
    void OnPanelMarkers();
    void OnRegistrationMarkers();
    void OnEditMarkers();
    void OnDeleteMarker();
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void FillColours();
    void FillLayers();
    void ShowLayer();
    CString LayerText(int layer);
    void ShowChecks();
    void WriteSettings();
    void TileSizeAgain();

    CColorListBox colours_;
    HBITMAP pictures_[3] = {};
    bool loading_ = false;
};

} // namespace plotsheet
