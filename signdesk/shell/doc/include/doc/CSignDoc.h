#pragma once
// The program's document: one open design. It owns the design's object list, the guide
// lines and the settings stored with the design, and keeps undo by difference through its
// second base. Every edit goes through its operations, which keep the list's counts and
// boxes current and redraw exactly what changed.

#include <mfc/CString.h>
#include <model/CSign.h>
#include <model/UndoList.h>
#include <sheet/COleSheetDoc.h>

#include "doc/CPaletteColors.h"
#include "doc/DocResourceIds.h"
#include "doc/GuideLine.h"

class ColorWPFWriter;
class ISignDocFrame;

namespace SignDocIds {
// Posted by the main frame's autosave timer.
constexpr UINT AutoSave = 32931;
// Display detail levels 2, 0, 1, 3.
constexpr UINT DetailNormal = 32779;
constexpr UINT DetailOutline = 32774;
constexpr UINT DetailFill = 32885;
constexpr UINT DetailFull = 32891;
// Display colours taken from the palette.
constexpr UINT TakeCurveColor = 32913;
constexpr UINT TakeLineColor = 32912;
constexpr UINT TakeTraceColor = 32915;
constexpr UINT TakeSelectionColor = 32916;
// Snapping switches.
constexpr UINT SnapToObject = 33060;
constexpr UINT SnapToGuideLines = 33061;
constexpr UINT SnapToCorners = 33108;
// Strings: the text path copy could not be written; the autosave status prompt.
constexpr UINT WriteCopyFailed = IDS_WRITE_COPY_FAILED;
constexpr UINT AutoSavingPrompt = IDS_AUTOSAVING;
} // namespace SignDocIds

class CSignDoc : public COleSheetDoc, public UndoList {
    DECLARE_DYNCREATE(CSignDoc)
public:
    CSignDoc();
    ~CSignDoc() override;

    // .wtp layout for every name but one ending in .wmp (any case), which gets the .wmp
    // field order in a plain archive.
    void Serialize(CArchive& ar) override;
    // The undo list's settings record.
    void SerializeDocState(CArchive& ar);

    void DeleteContents() override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    BOOL OnSaveDocument(LPCSTR lpszPathName) override;
    void OnCloseDocument() override;
    // A modified design asks whether to save it: Yes saves (a .wmp or unnamed design through
    // the Save As dialog), No drops the changes; FALSE when the user cancels the question or
    // the dialog, or the save fails; the document is then as it was.
    BOOL SaveModified() override;
    // Opens a plain archive into this document (a temporary one of a .wmp open).
    BOOL OpenPlainFile(LPCSTR lpszPathName);
    // The file the next open reads instead of the named one, when one is handed over.
    CFile* GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) override;

    floatBBox& GetExtent(floatBBox& out) override;
    // Corners, outlines and guides (as switched on) before the grid; flags is the object
    // not to snap to (ExcludeSelection: the selection).
    BOOL SnapX(floatPoint* p, float tolerance, INT_PTR flags) override;
    BOOL SnapY(floatPoint* p, float tolerance, INT_PTR flags) override;
    BOOL SnapPoint(floatPoint* p, float tolerance, INT_PTR flags) override;
    // Appends the guide, snaps its anchor (guides left out) with the active view's snap
    // distance, records the step; TRUE.
    BOOL AddGuideLine(const floatPoint* p, double angle) override;

    // Operations on the design.
    void AddObject(CSignObj* obj, BOOL select, int index);
    void DeleteSelection();
    void RecalcBounds();
    int UpdateSelectedObjects();
    void RedrawLayer(signed char layer);
    void Undo() override;
    void Redo() override;

    // Commands.
    void OnFileSave();
    void OnFileSaveAs();
    void OnAutoSave();
    // The page frame, then the design, as a text path file; FALSE after reporting a write
    // failure (string 203 and the path).
    BOOL WriteWpfCopy(LPCSTR path, int selectedOnly);
    void WriteDesignWpf(ColorWPFWriter& writer, const floatTMatrix& m, int selectedOnly);
    // The name Save As writes to; FALSE when the user cancels.
    virtual BOOL PromptSaveAsName(CString& path);

    // The undo list's side.
    CSign& GetUndoSign() override { return m_sheet; }
    void SerializeUndoSettings(CArchive& ar) override { SerializeDocState(ar); }
    DWORD GetUndoStateHash() override;
    void InvalidateUndoBox(const floatBBox* pBox) override;
    void SetUndoModified() override { SetModifiedFlag(); }
    CSignDoc* GetUndoDoc() override { return this; }

    // The frame that receives the document's timer and status requests (may be null).
    static inline ISignDocFrame* Frame = nullptr;
    // The palette bar's colours, stored with every design.
    static CPaletteColors& Palette();

    // Output settings that the output front end sets and that are never stored; one value
    // for the whole program. The design drawn on its own page; printing as white outlines
    // grown by OutlineDistance (mm); the drawing state that print paints clear.
    static inline BOOL OwnPage = FALSE;
    static inline BOOL OutlinePrint = FALSE;
    static inline float OutlineDistance = 0.0f;
    static inline int PrintDrawingState = 0;

    CString m_strFilePath;
    // The file the next GetFile hands over (a .wmp's contents); owned until then.
    CFile* m_pHandedFile = nullptr;
    DWORD m_nReserved = 0;
    CSign m_auxSheet;
    IDPairDynArr m_idPairs{10, 0xFFFE};
    DWORD m_bHasAuxSheet = 0;
    CSign m_sheet;
    DWORD m_bFontEditing = 0;
    CString m_strFontName;
    DWORD m_nFontEditValue = 0;
    WORD m_glyphCodes[10] = {};
    DWORD m_glyphObjA[10] = {};
    DWORD m_glyphObjB[10] = {};
    DWORD m_nCurrentTextSerial = 0;
    BYTE m_nPrintOrientation = 1;
    WORD m_nPaperSize = 9;
    DWORD m_outputLayout[10];
    DWORD m_bHasPlotLayout = 0;
    DWORD m_plotLayout[7];
    CString m_strAutoSavePath;
    GuideLineDynArr m_guideLines{10, 0xFFFE};

protected:
    void ResetOutputLayout();
    void RefreshPrinterValues();
    void SerializeWtp(CArchive& ar);
    void SerializeWmp(CArchive& ar);
    void SerializeFontBlock(CArchive& ar);
    void SerializeGuideLines(CArchive& ar);
    void WritePreview(CArchive& ar, CSign& sheet, BOOL whiteFill);
    // Reads the version word and skips a preview block; returns the layout version.
    WORD ReadVersion(CArchive& ar);
    void FullRedrawIfExtentChanged(const floatBBox& before);
    // The own snaps on a copy of p; TRUE with q set when one took it.
    BOOL SnapToDesign(const floatPoint& p, floatPoint& q, float tolerance, INT_PTR flags);

    void OnDetail(UINT nID);
    void OnUpdateDetail(CCmdUI* pCmdUI);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    void OnEditRedo();
    void OnUpdateEditRedo(CCmdUI* pCmdUI);
    void OnTakeCurveColor();
    void OnTakeLineColor();
    void OnTakeTraceColor();
    void OnTakeSelectionColor();
    void OnSnapToObject();
    void OnUpdateSnapToObject(CCmdUI* pCmdUI);
    void OnSnapToGuideLines();
    void OnUpdateSnapToGuideLines(CCmdUI* pCmdUI);
    void OnSnapToCorners();
    void OnUpdateSnapToCorners(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()
};

// The extension after the last '.', upper-cased; empty when there is none.
CString DocFileExtension(LPCSTR path);
