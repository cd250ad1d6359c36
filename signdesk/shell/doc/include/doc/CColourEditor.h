#pragma once
// The palette bar's modeless colour mixer: three components in one of three colour models
// (0 RGB, 1 CMY, 2 HLS), set by sliders, edit fields or a click in a map that shows the two
// other components for the current value of the one held fixed (the map axis). Its swatch
// shows the colour and is dragged onto the sheet or the palette.

#include <memory>

#include <mfc/CDialog.h>
#include <shell/CDragButton.h>
#include <shell/CMouseEventButton.h>

class CWndDibDC;
class DIBInterface;

class CColourEditor : public CDialog {
public:
    CColourEditor();
    ~CColourEditor() override;

    // The modeless window from its template.
    BOOL Create(CWnd* pParentWnd);

    COLORREF GetColor() const;
    // Components from the colour in the current model.
    void SetColor(COLORREF color);
    // SetColor, then controls, map, swatch brought up to date when the window exists.
    void SetColourAndShow(COLORREF color);
    // Labels follow the model; the map is rebuilt and redrawn.
    void SetModel(int model);
    int GetModel() const { return m_nModel; }
    // The mouse keys of the last press on the swatch (MK_LBUTTON, MK_RBUTTON, ...).
    UINT GetSwatchKeys() const { return m_swatch.dragFlags; }
    int GetMapAxis() const { return m_nMapAxis; }
    BYTE GetComponent(int i) const { return m_components[i]; }

    // The map for a model, an axis and the axis component's value: the two free components
    // run 0..255 over the width and the height, from the top-left corner.
    static void RenderMap(DIBInterface& picture, int model, int axis, BYTE value);
    // The marker's centre in a w x h map for the components.
    static POINT MarkerPosition(int axis, const BYTE components[3], int w, int h);

    // The rendered map; null while the window does not exist.
    CWndDibDC* GetMapPicture() const { return m_mapPicture.get(); }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnDestroy();
    void OnClose();
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    LRESULT OnCtlColorBtn(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDrop(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryNewPalette(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ApplyLabels();
    void RebuildMap();
    void RedrawSwatchAndMap();
    // Components and axis from the edit fields and radios; the sliders follow.
    void ReadControls();
    void FillControls();
    void OnMapClick();

    CMouseEventButton m_map;
    std::unique_ptr<CWndDibDC> m_mapPicture;
    CDragButton m_swatch;
    int m_nModel = 2;
    int m_nMapAxis = 0;
    BYTE m_components[3] = {0, 0, 0};
    HWND m_hSwatch = nullptr;
    // Set while the controls are being filled, so their change notifications are ignored.
    bool m_bFilling = false;
};
