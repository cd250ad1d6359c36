#pragma once
// The palette bar's modeless editor of colour runs (dialog 346): at the bar's selected index
// it inserts, deletes or appends `count` colours, the inserted ones running from the start
// colour to the end colour. Its two swatches take colours dropped on them.

#include <mfc/CDialog.h>

class CPaletteBar;

// n colours from one step after `from` to `to` (the last equals `to`), each component
// floor(from + i * (to - from) / n + 0.5); nothing for n < 1.
void InterpolateColors(COLORREF from, COLORREF to, COLORREF* out, int n);

class CPaletteEditorDialog : public CDialog {
public:
    explicit CPaletteEditorDialog(CPaletteBar& bar);
    ~CPaletteEditorDialog() override;

    BOOL Create(CWnd* pParentWnd);
    // The fields and buttons from the bar's state.
    void Refresh();

    COLORREF startColor = 0xFFFFFF;
    COLORREF endColor = 0;
    int count = 1;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy();
    void OnClose();
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    LRESULT OnCtrlDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDrop(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EnableButtons();
    void Insert();
    void Delete();
    // The swatch under the pointer (its id), or 0.
    int SwatchUnderCursor() const;

    CPaletteBar& bar;
    bool filling = false;
    WINDOWPLACEMENT placement{};
    bool placementValid = false;
};
