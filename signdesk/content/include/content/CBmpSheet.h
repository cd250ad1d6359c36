#pragma once
// The bitmap sheet: a modeless property sheet whose three pages change the picture of the one
// selected bitmap object (effects, colour depth, size), each with a live preview on a small
// copy. Every Apply lands on a fresh clone of the picture and is one undo step "Bitmap effect".
// The view owns the sheet and is its host.

#include <mfc/CPropertySheet.h>
#include <rasterkit/CDib.h>

#include "content/BitmapDialogIds.h"

class CBitmapObj;
class CSharedBmp;
class CSign;
class UndoList;
class CBmpSheet;

// What the sheet needs of the view and its document.
class BmpSheetHost {
public:
    virtual ~BmpSheetHost() = default;
    virtual CSign& GetSheetSign() = 0;
    virtual UndoList& GetSheetUndo() = 0;
    // Redraws the selected objects.
    virtual void UpdateSelectedObjects() = 0;
};

// The selected object when it is the only one and a bitmap object, else null.
CBitmapObj* SingleSelectedBitmap(CSign& sign);

class BmpSheetPage : public CPropertyPage {
public:
    BmpSheetPage(UINT templateId, CBmpSheet* sheet) : CPropertyPage(templateId), sheet(sheet) {}
    // Loads the controls again for the sheet's target; reset: a new target.
    virtual void Refresh(bool reset) = 0;
    BOOL OnSetActive() override;
    CBmpSheet* sheet;

protected:
    BOOL OnInitDialog() override;
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnApplyButton();
    // Apply: a fresh clone of the picture, then the change to it and to the preview's source.
    virtual void DoApply();
    // The page's change on a picture.
    virtual void ApplyTo(CDib& picture) = 0;
    // The preview: the source at the page's setting.
    void UpdatePreview();
    void EnableApply(bool enable);
    DECLARE_MESSAGE_MAP()
};

class BmpEffectsPage : public BmpSheetPage {
public:
    explicit BmpEffectsPage(CBmpSheet* sheet) : BmpSheetPage(IDD_BMP_EFFECTS, sheet) {}
    void Refresh(bool reset) override;
    // Runs the chosen effect on the picture (a beep when the combined effect cannot copy it).
    void ApplyEffect(CDib& picture);
    int effect = 0;
    int direction = 0;
    int value = 0;

protected:
    BOOL OnInitDialog() override;
    void ApplyTo(CDib& picture) override { ApplyEffect(picture); }
    void OnEffectChosen();
    void OnDirectionChosen();
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnSliderCommand();
    DECLARE_MESSAGE_MAP()

private:
    void SliderMoved();
    int m_lastValue = 0; // the last slider position seen, kept per refresh
};

class ColorResPage : public BmpSheetPage {
public:
    explicit ColorResPage(CBmpSheet* sheet) : BmpSheetPage(IDD_BMP_COLOR_RES, sheet) {}
    void Refresh(bool reset) override;
    void ApplyColorResolution(CDib& picture);
    int ditherIndex = 1;
    int depthIndex = 2;
    int colorCount = 256;
    int paletteIndex = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyTo(CDib& picture) override { ApplyColorResolution(picture); }
    void OnRadio(UINT id);
    void OnColorsTyped();
    DECLARE_MESSAGE_MAP()

private:
    void EnableDitherAndPalette();
    bool m_showing = false;
};

class ResizePage : public BmpSheetPage {
public:
    explicit ResizePage(CBmpSheet* sheet) : BmpSheetPage(IDD_BMP_RESIZE, sheet) {}
    void Refresh(bool reset) override;
    // The picture at the page's size (at least 1 x 1).
    void Resample(CDib& picture);
    int keepAspect = 1;
    int trueColor = 0;
    UINT widthPixels = 0;
    UINT heightPixels = 0;
    float widthPercent = 100;
    float heightPercent = 100;
    float aspect = 1;
    int byPercent = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void ApplyTo(CDib& picture) override { Resample(picture); }
    void DoApply() override;
    void OnOptions(UINT id);
    void OnEdit(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    void ShowAll(int except);
    void ShowMemory();
    bool m_showing = false;
};

class CBmpSheet : public CPropertySheet {
    DECLARE_DYNAMIC(CBmpSheet)
public:
    explicit CBmpSheet(BmpSheetHost* host, CWnd* parent = nullptr);
    ~CBmpSheet() override;

    // The selection's single bitmap, or none; called on every selection change.
    void UpdateFromSelection();
    // The same after the design changed: an old target may be freed and a new picture may sit
    // at its address, so the target is taken again and the active page reset in any case.
    void ReloadFromSelection();
    void SetBitmap(CSharedBmp* bitmap, bool refresh);
    // UpdateFromSelection once the change under way is done: one WM_SHEETFOLLOWSELECTION
    // posted to the sheet, none more while it is pending.
    void FollowSelectionLater();
    // The target scaled into the preview control (24 bits), once per target.
    void PreparePreview(const RECT& control);
    // The selected object's picture becomes a clone it alone holds, and the step is recorded.
    void PrepareUndo();
    void RecordUndo();
    void DrawPreview(LPDRAWITEMSTRUCT item);
    void DestroyPreviews();

    CDib previewResult;
    CDib previewSource;
    int previewReady = 0;
    CSharedBmp* target = nullptr;
    BmpEffectsPage effectsPage;
    ColorResPage colorResPage;
    ResizePage resizePage;
    BmpSheetHost* host;

protected:
    // Closing the sheet (hidden, or destroyed) frees both preview pictures.
    void OnShowWindow(BOOL show, UINT status);
    void OnDestroy();
    LRESULT OnFollowSelection(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    bool followPosted_ = false;
};

// The modal slider dialog (template 186): a value from 0 to 100.
class CSliderValueDlg : public CDialog {
public:
    explicit CSliderValueDlg(int value, CWnd* parent = nullptr);
    int value;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
