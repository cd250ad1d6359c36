#pragma once
// The base of the output sheet's pages that show the page: the owner-drawn preview (control
// 2770) painted by the engine's preview painter, zoom and scrolling, the preview's mouse
// turned into the layout's move, scale and pan, and the pointer's position in page units.
#include <mfc/CPropertySheet.h>
#include <shell/CMouseEventButton.h>

class CPrintEngine;

class CPreviewPage : public CPropertyPage {
public:
    CPreviewPage(UINT templateId, CPrintEngine& engine);

    // Whether the design may be moved and scaled on this page's preview.
    virtual bool IsLayoutEditable() { return true; }
    void RepaintPreview();
    void UpdateScrollBars();
    void ShowCursorPosition();
    void ZoomIn();
    void ZoomOut();
    void ZoomReset();
    // One request of the horizontal or vertical scroll bar.
    void Scroll(bool vertical, UINT code, UINT pos);

    static constexpr int IDC_PREVIEW = 2770;
    static constexpr float ZoomStep = 1.2f;
    static constexpr int LineScroll = 40;

    CPrintEngine& engine;
    CMouseEventButton preview;

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    // The preview's mouse event; pages with their own editing override it.
    virtual void OnPreviewMouse();
    // Paints the preview into the bitmap; the cut page adds its registration points.
    virtual void PaintPreview(CDC* dc, const RECT& rect);
    // The number in field `id` by the program's number rule; false, `out` unchanged, for none.
    bool ReadNumber(int id, float& out);
    DECLARE_MESSAGE_MAP()
};
