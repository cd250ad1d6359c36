#pragma once
// The main window of signdesk: the tool bars, the status bar with the key-hint panes, the
// palette bar, the automatic-save timer and the flat-look switch, over the sheet framework's
// frame (rulers, units, drag routing).

#include <doc/ISignDocFrame.h>
#include <mfc/CToolBar.h>
#include <sheet/COleSheetFrame.h>

#include "app/CPaletteBar.h"

class CCmdUI;

class CSignFrame : public COleSheetFrame {
    DECLARE_DYNCREATE(CSignFrame)
public:
    // The automatic-save timer's id.
    static constexpr UINT_PTR kAutoSaveTimer = 2;

    CSignFrame() = default;
    ~CSignFrame() override;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Seven panes: the message, 80 pixels, 35 without border, three of 15, 30.
    void SetupStatusBar() override;

    // A negative value restarts with the AutoSave setting; any other becomes it. 0 sets no
    // timer. The new timer's id, or 0.
    UINT_PTR SetAutoSaveTimer(int minutes);
    void SetFlatLook(BOOL flag);
    // "Sh", "Ct", "Alt" and "Sh+Ct" in panes 3 to 6 for the keys held.
    void ShowKeyHints(BOOL shift, BOOL ctrl, BOOL shiftCtrl, BOOL alt);
    void ShowStatusText(LPCSTR text);
    // After a tool changed the tool-options bar: the bar takes the size its buttons need; a
    // floating one stays where it is, a docked one gets the frame laid out again.
    void RecalcModeToolBar();
    // Reads one dropped file into the active document; FALSE when it was not imported.
    virtual BOOL ImportDroppedFile(LPCSTR path);

    // What the document asks of the frame; CSignDoc::Frame while the frame's window lives.
    class DocumentLink : public ISignDocFrame {
    public:
        explicit DocumentLink(CSignFrame& frame) : frame(frame) {}
        void SetAutoSaveTimer(int minutes) override { frame.SetAutoSaveTimer(minutes); }
        void RaiseAutoSaveBusy() override { ++frame.autoSaveBusy; }
        void LowerAutoSaveBusy() override {
            if (frame.autoSaveBusy > 0) --frame.autoSaveBusy;
        }
        void ShowStatusText(LPCSTR text) override { frame.ShowStatusText(text); }
        COLORREF GetPaletteColor() override;
        void PostFrameCommand(UINT nID) override;

    private:
        CSignFrame& frame;
    };

    DocumentLink documentLink{*this};
    UINT_PTR autoSaveTimer = 0;
    int autoSaveBusy = 0;
    int printing = 0;
    CPaletteBar paletteBar;
    CToolBar mainToolBar;
    CToolBar signToolBar;
    CToolBar toolOptionsBar;

protected:
    int OnCreate(CREATESTRUCT* lpCreateStruct);
    void OnDestroy();
    void OnTimer(UINT_PTR nIDEvent);
    void OnDropFiles(HGLOBAL hDropInfo);
    void OnShowNotice();
    void OnToggleFlatLook();
    void OnUpdateFlatLook(CCmdUI* pCmdUI);
    void OnRedrawAll();
    void OnUpdateRedrawAll(CCmdUI* pCmdUI);
    // A drag of the colour editor's swatch carries the editor's colour, with the palette bar
    // as its source.
    LRESULT OnCtrlDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDrop(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
